#include "browser.h"

#include "webaddress.h"

#include <QDesktopServices>
#include <QUrl>

namespace tk {

bool openInBrowser(const QString &address)
{
    return isWebAddress(address) && QDesktopServices::openUrl(QUrl(address));
}

} // namespace tk
