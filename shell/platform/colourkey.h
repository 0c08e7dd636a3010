#pragma once

#include <QColor>

class QWidget;

namespace tk {

// Prepares `window`, before its native window is made, to show its background colour
// as a hole: where every window is composited, it becomes translucent.
void prepareColourKey(QWidget *window);

// Gives the window its background in the key colour, the colour that is seen through;
// a translucent window paints no background at all.
void setKeyBackground(QWidget *window, QColor key);

// Cuts every pixel of the colour `key` out of the window, as a layered window's colour
// key does, for a window whose own surface is all key colour: what its child controls
// draw decides. The cut is a window shape (a mask), so it works without a compositor;
// a translucent window (prepareColourKey) is seen through already, and the shape lets
// the pointer through as well.
// Only exact key pixels go: text meant to stand free needs a font without
// antialiasing, or its edges keep a fringe of the key colour. Call again whenever
// what the window shows changes shape.
void applyColourKey(QWidget *window, QColor key);

} // namespace tk
