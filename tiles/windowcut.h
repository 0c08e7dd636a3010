#pragma once

#include "core/picture.h"
#include "tiles/wall.h"

#include <QImage>
#include <QList>
#include <QRectF>
#include <QString>

namespace tk {

class PictureReader;

// The window's cut replayed without a window: the picture loaded into a preview of the
// window's geometry and cut from it onto the canvas, so the tiles are the window's, byte
// for byte.

WallPlan planWindowWall(const PictureReader &reader);
// The preview's image, as the window's load leaves it.
QImage decodePreview(PictureReader &reader);
void writeWindowWall(const QImage &preview, const QString &folder, const SaveFormat &format);

// What each of the window's tiles shows, row by row, as fractions of the picture's width
// and height: the preview's grid and gutters, less the strips hidden under the preview's
// and the canvas's frames.
QList<QRectF> windowTileRegions();

} // namespace tk
