#pragma once

#include <QString>

namespace tk {

// Without a display (or another platform) the program cannot start. Asked before the
// application object exists.
bool displayMissing();
// A plain explanation of how to get a display for `program`.
QString missingDisplayAdvice(const QString &program);

// Whether the windows live under a Wayland compositor. There every window is composited
// (seen through wherever it paints nothing; a window shape only shapes its input), and
// the compositor, not the program, decides where each window goes and which one has
// the keyboard.
bool onWayland();

} // namespace tk
