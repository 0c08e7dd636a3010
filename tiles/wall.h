#pragma once

#include "core/picture.h"

#include <QList>
#include <QRectF>
#include <QSize>
#include <QStringList>

namespace tk {

// The tile canvas's outer side in twips; its frame leaves a 146 × 146 inner area.
constexpr float CanvasSide = 2250.0f;
// The side of the window's tiles in pixels.
int windowTileSide();

// A photo wall: the grid, the tiles' side in pixels and their file format.
struct WallSpec {
    int columns = 4;
    int rows = 2;
    // 0: the window's own tiles for 4 × 2 (cut from the preview, quirks included), and
    // tiles of the window's side for other grids.
    int size = 0;
    SaveFormat format;

    int tileCount() const { return columns * rows; }
    bool isWindowCut() const { return columns == 4 && rows == 2 && size == 0; }
    int tileSide() const { return size > 0 ? size : windowTileSide(); }
};

// What each tile shows, row by row, as fractions of the upright picture's width and
// height. A 4 × 2 wall shows exactly what the window's tiles show: the preview's grid
// and gutters, less the strips hidden under the preview's and the canvas's frames.
// Other grids cover the whole picture, with gutters of the window's relative width
// between neighbouring tiles only.
QList<QRectF> wallRegions(int columns, int rows);

// How a picture is decoded for a wall: at what size, and what the whole cut takes at
// its peak. The size is the smallest the decoder reaches cheaply that gives every
// tile its full resolution, or a smaller one when that would not fit the picture
// budget. Throws tk::Error when not even the smallest fits.
struct WallPlan {
    QSize decodeSize;
    qint64 peakBytes = 0;
};
WallPlan planWall(const PictureReader &reader, const WallSpec &wall);

// Decodes what the wall is cut from (for the window's cut, the preview's image).
QImage decodeForWall(PictureReader &reader, const WallSpec &wall, const WallPlan &plan);
// Cuts `decoded` into the wall's tiles in `folder` (ending with its separator). Throws
// tk::Error at the first failure; tiles written before it stay.
void writeWall(const QImage &decoded, const QString &folder, const WallSpec &wall);

QStringList wallTilePaths(const QString &folder, const WallSpec &wall);

// All of it for the picture at `path`, or the one `reader` has open.
void cutWall(const QString &path, const QString &folder, const WallSpec &wall);
void cutWall(PictureReader &reader, const QString &folder, const WallSpec &wall);

} // namespace tk
