#include "shell/platform/windowsystem.h"

#include "core/language.h"

#include <QGuiApplication>

namespace tk {

bool onWayland()
{
    // "wayland", "wayland-egl", ...
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool displayMissing()
{
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
           qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return false;
#endif
}

QString missingDisplayAdvice(const QString &program)
{
    return Texts::tr("Tesselkraft 需要图形显示，但 DISPLAY 和 WAYLAND_DISPLAY 都没有设置。\n"
                     "请在桌面环境中启动，或者用虚拟显示运行：\n"
                     "    xvfb-run -a %1\n")
        .arg(program);
}

} // namespace tk
