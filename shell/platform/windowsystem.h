#pragma once

#include <QString>

namespace tk {

// Without a display the program cannot start; returns a plain explanation of how to
// get one for `program`, or an empty string when a display (or another platform) is there.
// Asked before the application object exists.
QString missingDisplayAdvice(const QString &program);

// Whether the windows live under a Wayland compositor. There every window is composited
// (seen through wherever it paints nothing; a window shape only shapes its input), and
// the compositor, not the program, decides where each window goes and which one has
// the keyboard.
bool onWayland();

} // namespace tk
