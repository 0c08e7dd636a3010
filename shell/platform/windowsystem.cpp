#include "shell/platform/windowsystem.h"

#include <QGuiApplication>

namespace tk {

bool onWayland()
{
    // "wayland", "wayland-egl", ...
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
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
