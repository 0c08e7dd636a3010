#include "tiles/windowcut.h"

#include "core/canvas.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
#include "intake/intake.h"
#include "tiles/tileexport.h"
#include "tiles/tilegrid.h"
#include "tiles/windowgeometry.h"

namespace tk {

WallPlan planWindowWall(const PictureReader &reader)
{
    const QSize size = previewDecodeSize(PreviewWidth, PreviewHeight);
    const qint64 canvases =
        (pixelArea(previewInnerPixels()) + pixelArea(innerPixels(CanvasSide, CanvasSide))) * 4;
    WallPlan plan;
    plan.decodeSize = size;
    plan.tileSide = windowTileSide();
    plan.peakBytes = reader.peakBytes(size) + canvases;
    return plan;
}

QImage decodePreview(PictureReader &reader)
{
    Canvas preview(previewInnerPixels(), previewBackColour());
    loadIntoPreview(preview, PreviewWidth, PreviewHeight, reader);
    return preview.image();
}

void writeWindowWall(const QImage &preview, const QString &folder, const SaveFormat &format)
{
    Canvas canvas(innerPixels(CanvasSide, CanvasSide), previewBackColour());
    cutTiles(preview, QSizeF(PreviewScaleWidth, PreviewScaleHeight), canvas,
             QSizeF(CanvasSide, CanvasSide), folder, format);
}

QList<QRectF> windowTileRegions()
{
    // The canvas keeps the top-left part of each scaled tile, and the picture was
    // stretched over the preview's outer size.
    const float kept = CanvasScaleSide / CanvasSide;
    QList<QRectF> regions;
    for (const TileRect &r : tileRects(PreviewScaleWidth, PreviewScaleHeight))
        regions << QRectF(r.x / PreviewWidth, r.y / PreviewHeight, r.width * kept / PreviewWidth,
                          r.height * kept / PreviewHeight);
    return regions;
}

} // namespace tk
