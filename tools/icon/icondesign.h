#pragma once

#include <QByteArray>
#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <vector>

class QPainter;

namespace tk {

// One filled shape of the icon, on a 32 × 32 grid. A shape with a second colour is
// filled with a linear gradient from `from` (first colour) to `to` (second colour).
struct IconShape {
    QPainterPath path;
    QColor colour;
    QColor colour2;
    QPointF from, to;
};

// The program's icon: a landscape cut into a 4 × 2 wall of square tiles with gutters,
// on a rounded teal plate. Every rendering, at every size, comes from this list.
std::vector<IconShape> iconDesign();

// Paints the design into the square (0, 0, size, size).
void paintIcon(QPainter &painter, int size);
// The design as an SVG document with a 32 × 32 view box.
QByteArray iconSvg();

} // namespace tk
