#pragma once

#include <QColor>

class QWidget;

namespace tk {

// Cuts every pixel of the colour `key` out of the window, as a layered window's colour
// key does, for a window whose own surface is all key colour: what its child controls
// draw decides. The cut is a window shape (a mask), so it works without a compositor.
// Only exact key pixels go: text meant to stand free needs a font without
// antialiasing, or its edges keep a fringe of the key colour. Call again whenever
// what the window shows changes shape.
void applyColourKey(QWidget *window, QColor key);

} // namespace tk
