#include "shell/platform/report.h"

#include "core/error.h"
#include "core/language.h"
#include "shell/platform/end.h"
#include "shell/platform/messages.h"

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace tk {

namespace {

UnhandledHook &unhandledHook()
{
    static UnhandledHook hook;
    return hook;
}

[[noreturn]] void endProgram(const QString &message)
{
    MsgBox(message, vbCritical, QStringLiteral("Tesselkraft"));
    std::fflush(nullptr);
    std::_Exit(EXIT_FAILURE);
}

void report(const QString &message)
{
    if (unhandledHook())
        unhandledHook()(message);
    else
        endProgram(message);
}

} // namespace

void guarded(const std::function<void()> &handler)
{
    if (hasEnded())
        return;
    try {
        handler();
    } catch (const std::exception &e) {
        report(messageOf(e));
    } catch (...) {
        report(Texts::tr("未知错误"));
    }
}

void setUnhandledHook(UnhandledHook hook)
{
    unhandledHook() = std::move(hook);
}

} // namespace tk
