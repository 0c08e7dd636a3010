#include "tiles/framing.h"

#include "tiles/picturecut.h"
#include "tiles/wall.h"
#include "tiles/windowgeometry.h"

#include <algorithm>

namespace tk {

QList<QRectF> gridRegions(int columns, int rows)
{
    QList<QRectF> regions;
    const double gutterX = 4.0 / PreviewScaleWidth, gutterY = 4.0 / PreviewScaleHeight;
    const double width = (1.0 - (columns - 1) * gutterX) / columns;
    const double height = (1.0 - (rows - 1) * gutterY) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            regions << QRectF(c * (width + gutterX), r * (height + gutterY), width, height);
    return regions;
}

double wallAspect(int columns, int rows)
{
    // A cell is width × W by height × H of a part W × H; it is square when W / H is
    // height / width.
    const QRectF cell = gridRegions(columns, rows).constFirst();
    return cell.height() / cell.width();
}

QRectF centredFrame(const QRectF &area, double aspect)
{
    QSizeF size(area.width(), area.width() / aspect);
    if (size.height() > area.height())
        size = QSizeF(area.height() * aspect, area.height());
    QRectF frame(QPointF(), size);
    frame.moveCenter(area.center());
    return frame;
}

QRectF keptInside(QRectF frame, const QRectF &area)
{
    if (frame.width() > area.width() || frame.height() > area.height()) {
        const QPointF centre = frame.center();
        frame = centredFrame(area, frame.width() / frame.height());
        frame.moveCenter(centre);
    }
    // Left and top edges win where rounding leaves the frame a hair too large.
    frame.moveLeft(std::max(area.left(), std::min(frame.left(), area.right() - frame.width())));
    frame.moveTop(std::max(area.top(), std::min(frame.top(), area.bottom() - frame.height())));
    return frame;
}

QRectF movedFrame(const QRectF &frame, QPointF delta, const QRectF &area)
{
    return keptInside(frame.translated(delta), area);
}

QRectF zoomedFrame(const QRectF &frame, double factor, QPointF anchor, const QRectF &area,
                   double minimumWidth)
{
    const double aspect = frame.width() / frame.height();
    const double largest = centredFrame(area, aspect).width();
    const double width = std::clamp(frame.width() * factor, std::min(minimumWidth, largest), largest);
    const double scale = width / frame.width();
    // The point under the anchor stays under it.
    const QPointF topLeft = anchor + (frame.topLeft() - anchor) * scale;
    return keptInside(QRectF(topLeft, QSizeF(width, width / aspect)), area);
}

QRectF wallArea(const Wall &wall, QSizeF picture)
{
    const QRectF whole(QPointF(0, 0), picture);
    const QRectF region = wall.region.isNull() ? whole : QRectF(wall.region) & whole;
    if (wall.fit == Fit::Stretch)
        return region;
    const double aspect = wallAspect(wall.columns, wall.rows);
    if (wall.frame.isEmpty())
        return centredFrame(region, aspect);
    // A frame of the wrong shape (another wall's) is reshaped about its centre.
    QRectF frame(QPointF(), QSizeF(wall.frame.width(), wall.frame.width() / aspect));
    frame.moveCenter(wall.frame.center());
    return keptInside(frame, region);
}

QList<QRectF> wallCells(const Wall &wall, QSizeF picture)
{
    const QRectF area = wallArea(wall, picture);
    const QList<QRectF> fractions = wall.fit == Fit::Stretch
                                        ? wallRegions(wall.columns, wall.rows)
                                        : gridRegions(wall.columns, wall.rows);
    QList<QRectF> cells;
    for (const QRectF &f : fractions)
        cells << placedIn(f, area);
    return cells;
}

QRectF placedIn(const QRectF &fraction, const QRectF &area)
{
    return QRectF(area.left() + fraction.left() * area.width(),
                  area.top() + fraction.top() * area.height(), fraction.width() * area.width(),
                  fraction.height() * area.height());
}

QRectF letterbox(QSizeF picture, QSizeF box)
{
    return centredFrame(QRectF(QPointF(0, 0), box), picture.width() / picture.height());
}

CutOverlay cutOverlay(const Wall &wall, QSizeF picture, const QRectF &placement)
{
    const double sx = placement.width() / picture.width();
    const double sy = placement.height() / picture.height();
    const auto shown = [&](const QRectF &r) {
        return QRectF(placement.left() + r.left() * sx, placement.top() + r.top() * sy,
                      r.width() * sx, r.height() * sy);
    };
    CutOverlay overlay;
    overlay.area = shown(wallArea(wall, picture));
    for (const QRectF &cell : wallCells(wall, picture))
        overlay.cells << shown(cell);
    // A line on the middle of each gutter, across the whole area.
    const QList<QRectF> &cells = overlay.cells;
    for (int c = 1; c < wall.columns; ++c) {
        const double x = (cells[c - 1].right() + cells[c].left()) / 2;
        overlay.lines << QLineF(x, overlay.area.top(), x, overlay.area.bottom());
    }
    for (int r = 1; r < wall.rows; ++r) {
        const double y = (cells[(r - 1) * wall.columns].bottom() + cells[r * wall.columns].top()) / 2;
        overlay.lines << QLineF(overlay.area.left(), y, overlay.area.right(), y);
    }
    return overlay;
}

} // namespace tk
