#include "icondesign.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

namespace tk {

namespace {

// On the 32 grid: square tiles of 6 with gutters of 2 make a wall 30 wide and 14 high,
// which sits on whole pixels at 32 × 32.
constexpr qreal TileSide = 6, Gutter = 2, WallLeft = 1, WallTop = 9;
constexpr qreal WallBottom = WallTop + 2 * TileSide + Gutter;

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

IconShape solid(const QPainterPath &path, QColor colour)
{
    return {path, colour, QColor(), QPointF(), QPointF()};
}

// The picture that the wall shows, before it is cut: sky, sun, two ranges of hills.
std::vector<IconShape> picture()
{
    QPainterPath sky;
    sky.addRect(WallLeft, WallTop, 4 * TileSide + 3 * Gutter, WallBottom - WallTop);
    QPainterPath sun;
    sun.addEllipse(QPointF(22, 12.3), 2.8, 2.8);
    const QPainterPath far =
        polygon({{1, 23}, {1, 17}, {9, 11.5}, {15, 16.5}, {19, 14}, {31, 20.5}, {31, 23}});
    const QPainterPath near =
        polygon({{1, 23}, {1, 20}, {8, 18}, {17, 21}, {25, 17.5}, {31, 19}, {31, 23}});
    return {
        {sky, QColor(0x8E, 0xC9, 0xEA), QColor(0xF6, 0xE4, 0xB4), {0, WallTop}, {0, WallBottom}},
        solid(sun, QColor(0xF5, 0xB0, 0x45)),
        solid(far, QColor(0x86, 0xB4, 0x8F)),
        solid(near, QColor(0x3F, 0x7A, 0x5A)),
    };
}

QByteArray svgPath(const QPainterPath &path)
{
    QByteArray d;
    const auto number = [](qreal v) { return QByteArray::number(v, 'g', 6); };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo())
            d += 'M';
        else if (e.isLineTo())
            d += 'L';
        else if (e.isCurveTo())
            d += 'C';
        else
            d += ' ';
        d += number(e.x) + ' ' + number(e.y);
    }
    return d + 'Z';
}

} // namespace

std::vector<IconShape> iconDesign()
{
    QPainterPath plate;
    plate.addRoundedRect(0.5, 0.5, 31, 31, 6, 6);
    std::vector<IconShape> shapes = {
        {plate, QColor(0x3C, 0x82, 0x77), QColor(0x22, 0x55, 0x4E), {0, 0}, {0, 32}},
    };
    // The cut: every part of the picture, tile by tile, so the gutters show the plate.
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 4; ++col) {
            QPainterPath tile;
            tile.addRect(WallLeft + col * (TileSide + Gutter), WallTop + row * (TileSide + Gutter),
                         TileSide, TileSide);
            for (IconShape part : picture()) {
                part.path = part.path.intersected(tile);
                if (!part.path.isEmpty())
                    shapes.push_back(part);
            }
        }
    }
    return shapes;
}

void paintIcon(QPainter &painter, int size)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    painter.setPen(Qt::NoPen);
    for (const IconShape &shape : iconDesign()) {
        if (shape.colour2.isValid()) {
            QLinearGradient gradient(shape.from, shape.to);
            gradient.setColorAt(0, shape.colour);
            gradient.setColorAt(1, shape.colour2);
            painter.setBrush(gradient);
        } else {
            painter.setBrush(shape.colour);
        }
        painter.drawPath(shape.path);
    }
    painter.restore();
}

QByteArray iconSvg()
{
    const auto number = [](qreal v) { return QByteArray::number(v, 'g', 6); };
    QByteArray defs, body;
    QHash<QByteArray, QByteArray> gradients; // the tiles share the sky's gradient
    for (const IconShape &shape : iconDesign()) {
        QByteArray fill = shape.colour.name().toLatin1();
        if (shape.colour2.isValid()) {
            const QByteArray gradient =
                "gradientUnits=\"userSpaceOnUse\" x1=\"" + number(shape.from.x()) + "\" y1=\"" +
                number(shape.from.y()) + "\" x2=\"" + number(shape.to.x()) + "\" y2=\"" +
                number(shape.to.y()) + "\"><stop offset=\"0\" stop-color=\"" +
                shape.colour.name().toLatin1() + "\"/><stop offset=\"1\" stop-color=\"" +
                shape.colour2.name().toLatin1() + "\"/>";
            if (!gradients.contains(gradient)) {
                const QByteArray id = "g" + QByteArray::number(gradients.size());
                gradients.insert(gradient, id);
                defs += "<linearGradient id=\"" + id + "\" " + gradient + "</linearGradient>\n";
            }
            fill = "url(#" + gradients.value(gradient) + ")";
        }
        body += "<path fill=\"" + fill + "\" fill-rule=\"evenodd\" d=\"" + svgPath(shape.path) +
                "\"/>\n";
    }
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
           "viewBox=\"0 0 32 32\">\n<defs>\n" +
           defs + "</defs>\n" + body + "</svg>\n";
}

} // namespace tk
