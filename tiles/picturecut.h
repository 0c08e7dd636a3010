#pragma once

#include "tiles/wall.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

namespace tk {

class PictureReader;

// Walls cut from the picture itself, at any grid and tile side: each tile is its region
// of the decoded picture resampled to the tile's side (tiles/wallpipeline.h).

// What each tile of a stretched wall shows, row by row, as fractions of the part it is
// laid over. A 4 × 2 wall shows exactly what the window's tiles show; other grids cover
// it all, with gutters of the window's relative width between neighbouring tiles.
QList<QRectF> wallRegions(int columns, int rows);

// The decode size is the smallest the decoder reaches cheaply that gives every tile its
// full resolution, or a smaller one when that would not fit the picture budget. The tiles
// are made while the picture decodes where holding them until it is whole fits too.
WallPlan planPictureWall(const PictureReader &reader, const Wall &wall);
// The tiles made while decoding, or else the picture at the plan's size.
DecodedWall decodePicture(PictureReader &reader, const Wall &wall, const WallPlan &plan);
void writePictureWall(const DecodedWall &decoded, const QString &folder, const Wall &wall,
                      const WallPlan &plan);

// Each tile's cell as fractions of the picture, checked: throws RegionOutside naming the
// picture when the wall's region does not lie within it.
QList<QRectF> wallFractions(const Wall &wall, QSize picture, const QString &shownName);

} // namespace tk
