#pragma once

#include "core/picture.h"

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace tk {

class Canvas;
struct TileRect;

// The full paths of `count` tiles: `folder` followed directly by each name.
QStringList tilePaths(const QString &folder, int count = 8,
                      const QString &extension = QStringLiteral("jpg"));

// Paints one tile's source rectangle of `preview` onto `canvas`, scaled to the canvas's
// outer size `canvasOuter` (twips) from the inner area's corner, so the inner area keeps
// its top-left part.
void paintTile(const QImage &preview, const TileRect &source, Canvas &canvas, QSizeF canvasOuter);

// Cuts `preview` (the preview's inner area, `scaleSize` twips) into the eight tiles:
// each source rectangle is painted onto `canvas` at the canvas's outer size
// `canvasOuter` (twips), so the canvas's inner area keeps the top-left part, and the
// canvas image is saved as the tile's JPEG. Stops with tk::Error at the first tile
// that cannot be saved; the tiles written before it stay.
void cutTiles(const QImage &preview, QSizeF scaleSize, Canvas &canvas, QSizeF canvasOuter,
              const QString &folder, const SaveFormat &format = {});

} // namespace tk
