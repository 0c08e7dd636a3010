#pragma once

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace tk {

struct Wall;

// Where a wall's tiles lie on the picture, and the frame the user places: plain
// geometry in the upright picture's pixels, shared by the window's preview, its cut and
// the cutter.

// What each tile of a `columns` × `rows` grid shows, row by row, as fractions of the
// part it is laid over: equal cells, with gutters of the window's relative width
// between neighbours only.
QList<QRectF> gridRegions(int columns, int rows);

// The width over the height of a part that the grid cuts into square tiles.
double wallAspect(int columns, int rows);

// The largest rectangle of `aspect` (width over height) centred in `area`.
QRectF centredFrame(const QRectF &area, double aspect);

// `frame` kept within `area`: as large as fits at most, moved back inside.
QRectF keptInside(QRectF frame, const QRectF &area);
// `frame` moved by `delta`, then kept within `area`.
QRectF movedFrame(const QRectF &frame, QPointF delta, const QRectF &area);
// `frame` grown (`factor` > 1) or shrunk about `anchor`, keeping its shape, no smaller
// than `minimumWidth` and no larger than fits, then kept within `area`.
QRectF zoomedFrame(const QRectF &frame, double factor, QPointF anchor, const QRectF &area,
                   double minimumWidth);

// The part of a picture of `picture` pixels that the wall is laid over: its region
// (the whole picture when it has none), or with "crop" the frame within it (centred and
// as large as fits when the wall has none, else the wall's kept within the region).
QRectF wallArea(const Wall &wall, QSizeF picture);
// Each tile's cell, row by row, in the picture's pixels.
QList<QRectF> wallCells(const Wall &wall, QSizeF picture);

// A rectangle given as fractions of `area`, in `area`'s own units.
QRectF placedIn(const QRectF &fraction, const QRectF &area);

// Where a picture of `picture` pixels shows whole and undistorted in a box of `box`,
// centred (letterboxed).
QRectF letterbox(QSizeF picture, QSizeF box);

// What the preview shows of a wall over the picture, in the inner area's pixels: the part
// the wall is laid over, the cut lines on the gutters between its cells, and each cell.
struct CutOverlay {
    QRectF area;
    QList<QLineF> lines;
    QList<QRectF> cells; // in upload order
};
CutOverlay cutOverlay(const Wall &wall, QSizeF picture, const QRectF &placement);

} // namespace tk
