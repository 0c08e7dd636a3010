#include "shell/platform/windowsystem.h"

#include <QGuiApplication>

namespace tk {

bool onWayland()
{
    // "wayland", "wayland-egl", ...
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace tk
