#include "desktopstandins.h"

#include "shell/platform/app.h"
#include "shell/platform/browser.h"
#include "shell/platform/connectivity.h"
#include "shell/platform/end.h"
#include "shell/platform/messages.h"
#include "shell/platform/report.h"

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
