#include "shell/platform/browser.h"

#include "core/webaddress.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace tk {

namespace {

BrowserHook &browserHook()
{
    static BrowserHook hook;
    return hook;
}

} // namespace

bool openInBrowser(const QString &address)
{
    if (!isWebAddress(address))
        return false;
    if (browserHook())
        return browserHook()(address);
    // QDesktopServices would pass the address on as QUrl rewrites it (escapes decoded,
    // scheme and host lower-cased); the desktop's opener gets the text itself.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (!opener.isEmpty())
        return QProcess::startDetached(opener, {address});
    return QDesktopServices::openUrl(QUrl(address));
}

void setBrowserHook(BrowserHook hook)
{
    browserHook() = std::move(hook);
}

} // namespace tk
