#pragma once

namespace tk {

// Whether the windows live under a Wayland compositor. There every window is composited
// (seen through wherever it paints nothing; a window shape only shapes its input), and
// the compositor, not the program, decides where each window goes and which one has
// the keyboard.
bool onWayland();

} // namespace tk
