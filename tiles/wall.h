#pragma once

#include "picture.h"

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
};

// What each tile shows, row by row, as fractions of the upright picture's width and
// height. A 4 × 2 wall shows exactly what the window's tiles show: the preview's grid
// and gutters, less the strips hidden under the preview's and the canvas's frames.
// Other grids cover the whole picture, with gutters of the window's relative width
// between neighbouring tiles only.
QList<QRectF> wallRegions(int columns, int rows);

// The size to decode a picture of `fullSize` at, so that every region keeps at least
// `side` pixels each way, within Qt's allocation limit; invalid means full size.
QSize decodeSizeFor(QSize fullSize, const QList<QRectF> &regions, int side);

QStringList wallTilePaths(const QString &folder, const WallSpec &wall);

// Cuts the picture at `path` into the wall's tiles in `folder` (ending with its
// separator). Throws tk::Error at the first failure; tiles written before it stay.
void cutWall(const QString &path, const QString &folder, const WallSpec &wall);

} // namespace tk
