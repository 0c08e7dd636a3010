#include "wall.h"

#include "canvas.h"
#include "intake.h"
#include "tileexport.h"
#include "tilegrid.h"
#include "units.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tk {

namespace {

constexpr float FrameTwips = float(PreviewFramePixels * TwipsPerPixel);
constexpr float PreviewScaleWidth = PreviewWidth - 2 * FrameTwips;
constexpr float PreviewScaleHeight = PreviewHeight - 2 * FrameTwips;
constexpr float CanvasInnerSide = CanvasSide - 2 * FrameTwips;

QSize innerPixels(float width, float height)
{
    return QSize(twipsToWholePixels(width) - 2 * PreviewFramePixels,
                 twipsToWholePixels(height) - 2 * PreviewFramePixels);
}

// The tiles exactly as the window cuts them: from the preview, onto the canvas.
void cutLikeTheWindow(const QString &path, const QString &folder, const SaveFormat &format)
{
    Canvas preview(innerPixels(PreviewWidth, PreviewHeight), previewBackColour());
    loadIntoPreview(preview, PreviewWidth, PreviewHeight, path);
    Canvas canvas(innerPixels(CanvasSide, CanvasSide), previewBackColour());
    cutTiles(preview.image(), QSizeF(PreviewScaleWidth, PreviewScaleHeight), canvas,
             QSizeF(CanvasSide, CanvasSide), folder, format);
}

// Pixel formats whose rows can be viewed in place without a colour table.
QImage viewable(QImage picture)
{
    if (picture.colorCount() > 0 || picture.depth() < 8)
        picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                    : QImage::Format_RGB32);
    return picture;
}

QImage renderRegion(const QImage &picture, const QRectF &region, int side)
{
    // Whole pixels of the decoded picture, at least one each way.
    const double w = picture.width(), h = picture.height();
    const int left = std::clamp(int(std::lround(region.left() * w)), 0, picture.width() - 1);
    const int top = std::clamp(int(std::lround(region.top() * h)), 0, picture.height() - 1);
    const int right = std::clamp(int(std::lround(region.right() * w)), left + 1, picture.width());
    const int bottom = std::clamp(int(std::lround(region.bottom() * h)), top + 1, picture.height());
    const QRect pixels(QPoint(left, top), QPoint(right - 1, bottom - 1));
    // A view of the region's rows, not a copy of them.
    const QImage view(picture.constScanLine(pixels.top()) + pixels.left() * picture.depth() / 8,
                      pixels.width(), pixels.height(), picture.bytesPerLine(), picture.format());
    QImage tile = view.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!tile.hasAlphaChannel())
        return tile;
    QImage flat(tile.size(), QImage::Format_RGB32);
    flat.fill(previewBackColour());
    QPainter(&flat).drawImage(0, 0, tile);
    return flat;
}

} // namespace

int windowTileSide()
{
    return innerPixels(CanvasSide, CanvasSide).width();
}

QList<QRectF> wallRegions(int columns, int rows)
{
    QList<QRectF> regions;
    if (columns == 4 && rows == 2) {
        // The canvas keeps the top-left part of each scaled tile, and the picture was
        // stretched over the preview's outer size.
        const float kept = CanvasInnerSide / CanvasSide;
        for (const TileRect &r : tileRects(PreviewScaleWidth, PreviewScaleHeight))
            regions << QRectF(r.x / PreviewWidth, r.y / PreviewHeight,
                              r.width * kept / PreviewWidth, r.height * kept / PreviewHeight);
        return regions;
    }
    const double gutterX = 4.0 / PreviewScaleWidth, gutterY = 4.0 / PreviewScaleHeight;
    const double width = (1.0 - (columns - 1) * gutterX) / columns;
    const double height = (1.0 - (rows - 1) * gutterY) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            regions << QRectF(c * (width + gutterX), r * (height + gutterY), width, height);
    return regions;
}

QSize decodeSizeFor(QSize fullSize, const QList<QRectF> &regions, int side)
{
    double need = 0; // fraction of the full resolution the smallest region needs
    for (const QRectF &region : regions)
        need = std::max({need, side / (region.width() * fullSize.width()),
                         side / (region.height() * fullSize.height())});
    // JPEG decoders scale by eighths; a whole eighth keeps the decode free of resampling.
    int eighths = std::clamp(int(std::ceil(need * 8 - 1e-9)), 1, 8);
    const qint64 budget = qint64(QImageReader::allocationLimit()) * 1024 * 1024;
    auto sizeAt = [&](int m) {
        return QSize(std::max(1, fullSize.width() * m / 8), std::max(1, fullSize.height() * m / 8));
    };
    while (eighths > 1 && budget > 0 &&
           qint64(sizeAt(eighths).width()) * sizeAt(eighths).height() * 4 > budget)
        --eighths;
    return eighths == 8 ? QSize() : sizeAt(eighths);
}

QStringList wallTilePaths(const QString &folder, const WallSpec &wall)
{
    return tilePaths(folder, wall.tileCount(), wall.format.extension());
}

void cutWall(const QString &path, const QString &folder, const WallSpec &wall)
{
    if (wall.isWindowCut()) {
        cutLikeTheWindow(path, folder, wall.format);
        return;
    }
    const QList<QRectF> regions = wallRegions(wall.columns, wall.rows);
    const int side = wall.size > 0 ? wall.size : windowTileSide();
    const QImage picture =
        viewable(LoadPicture(path, decodeSizeFor(pictureSize(path), regions, side)));
    const QStringList paths = wallTilePaths(folder, wall);
    for (int i = 0; i < regions.size(); ++i)
        SavePicture(renderRegion(picture, regions[i], side), paths[i], wall.format);
}

} // namespace tk
