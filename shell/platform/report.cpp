#include "shell/platform/report.h"

#include "core/error.h"
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
        report(QStringLiteral("未知错误"));
    }
}

void setUnhandledHook(UnhandledHook hook)
{
    unhandledHook() = std::move(hook);
}

QString missingDisplayAdvice(const QString &program)
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") ||
        !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return QString();
    return QStringLiteral("Tesselkraft 需要图形显示，但 DISPLAY 和 WAYLAND_DISPLAY 都没有设置。\n"
                          "请在桌面环境中启动，或者用虚拟显示运行：\n"
                          "    xvfb-run -a %1\n")
        .arg(program);
#else
    return QString();
#endif
}

} // namespace tk
