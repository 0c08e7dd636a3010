#include "desktopstandins.h"

#include "app.h"
#include "browser.h"
#include "connectivity.h"
#include "end.h"
#include "messages.h"
#include "report.h"

namespace testsupport {

UrlRecorder::UrlRecorder()
{
    tk::setBrowserHook([this](const QString &address) {
        opened << address;
        return true;
    });
}

UrlRecorder::~UrlRecorder()
{
    tk::setBrowserHook({});
}

void resetPlatformHooks()
{
    tk::setBrowserHook({});
    tk::setMsgBoxHook({});
    tk::setOpenDialogHook({});
    tk::setUnhandledHook({});
    tk::setConnectivityHook({});
    tk::setEndHook({});
    tk::App::setPath(QString());
}

} // namespace testsupport
