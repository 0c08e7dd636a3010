#include "desktopstandins.h"

#include "app.h"
#include "connectivity.h"
#include "end.h"
#include "messages.h"
#include "report.h"

#include <QDesktopServices>

namespace testsupport {

UrlRecorder::UrlRecorder(const QStringList &schemes) : m_schemes(schemes)
{
    for (const QString &scheme : m_schemes)
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const QString &scheme : m_schemes)
        QDesktopServices::unsetUrlHandler(scheme);
}

void resetPlatformHooks()
{
    tk::setMsgBoxHook({});
    tk::setOpenDialogHook({});
    tk::setUnhandledHook({});
    tk::setConnectivityHook({});
    tk::setEndHook({});
    tk::App::setPath(QString());
}

} // namespace testsupport
