#include "tiles/tileexport.h"

#include "core/canvas.h"
#include "core/picture.h"
#include "tiles/tilegrid.h"

namespace tk {

QStringList tilePaths(const QString &folder, int count, const QString &extension)
{
    QStringList paths;
    for (int k = 1; k <= count; ++k)
        paths << folder + tileFileName(k, extension);
    return paths;
}

void paintTile(const QImage &preview, const TileRect &source, Canvas &canvas, QSizeF canvasOuter)
{
    canvas.paintPicture(preview, 0.0f, 0.0f, float(canvasOuter.width()),
                        float(canvasOuter.height()), source.x, source.y, source.width,
                        source.height);
}

void cutTiles(const QImage &preview, QSizeF scaleSize, Canvas &canvas, QSizeF canvasOuter,
              const QString &folder, const SaveFormat &format)
{
    const auto rects = tileRects(float(scaleSize.width()), float(scaleSize.height()));
    const QStringList paths = tilePaths(folder, TileCount, format.extension());
    for (int i = 0; i < TileCount; ++i) {
        paintTile(preview, rects[size_t(i)], canvas, canvasOuter);
        SavePicture(canvas.image(), paths[i], format);
    }
}

} // namespace tk
