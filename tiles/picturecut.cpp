#include "tiles/picturecut.h"

#include "core/error.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
#include "tiles/framing.h"
#include "tiles/tilegrid.h"
#include "tiles/windowcut.h"
#include "tiles/windowgeometry.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace tk {

namespace {

// The 32-bit formats that smooth scaling takes as they are; any other would be
// converted again for every region.
bool isThirtyTwoBit(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

// Whole pixels of a picture of `size` that a region covers, at least one each way.
QRect regionPixels(QSize size, const QRectF &region)
{
    const double w = size.width(), h = size.height();
    const int left = std::clamp(int(std::lround(region.left() * w)), 0, size.width() - 1);
    const int top = std::clamp(int(std::lround(region.top() * h)), 0, size.height() - 1);
    const int right = std::clamp(int(std::lround(region.right() * w)), left + 1, size.width());
    const int bottom = std::clamp(int(std::lround(region.bottom() * h)), top + 1, size.height());
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// A view of the region's rows claims whole lines from its first pixel on; from a left
// edge further in, the last rows of the picture would claim memory past its end.
bool viewReachesPastEnd(QSize size, const QRect &pixels)
{
    return pixels.left() > 0 && pixels.bottom() == size.height() - 1;
}

// The region of a 32-bit picture: its rows seen in place where that is safe, else a copy.
QImage regionImage(const QImage &picture, const QRect &pixels)
{
    if (viewReachesPastEnd(picture.size(), pixels))
        return picture.copy(pixels);
    return QImage(picture.constScanLine(pixels.top()) + pixels.left() * 4, pixels.width(),
                  pixels.height(), picture.bytesPerLine(), picture.format());
}

QImage renderRegion(const QImage &picture, const QRectF &region, int side)
{
    const QImage view = regionImage(picture, regionPixels(picture.size(), region));
    QImage tile = view.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!tile.hasAlphaChannel())
        return tile;
    QImage flat(tile.size(), QImage::Format_RGB32);
    flat.fill(previewBackColour());
    QPainter(&flat).drawImage(0, 0, tile);
    return flat;
}

// Peak bytes of cutting a picture decoded at `size` into the regions: the decode
// itself (the decoder's own buffers are gone once it is done), then the picture with
// a 32-bit copy where needed, the region copy that bottom tiles need, and one tile.
qint64 cutBytes(const PictureReader &reader, QSize size, const QList<QRectF> &regions, int side)
{
    qint64 copy = 0;
    for (const QRectF &region : regions) {
        const QRect pixels = regionPixels(size, region);
        if (viewReachesPastEnd(size, pixels))
            copy = std::max(copy, pixelArea(pixels.size()) * 4);
    }
    const qint64 picture = pixelArea(size) * bytesPerPixel(reader.format());
    const qint64 conversion = isThirtyTwoBit(reader.format()) ? 0 : pixelArea(size) * 4;
    // The tile, and its flattened copy where the picture may have alpha.
    const bool alpha =
        reader.format() == QImage::Format_Invalid ||
        QImage::toPixelFormat(reader.format()).alphaUsage() == QPixelFormat::UsesAlpha;
    const qint64 tile = qint64(side) * side * 4 * (alpha ? 2 : 1);
    return std::max(reader.peakBytes(size), picture + conversion + copy + tile);
}

} // namespace

QList<QRectF> wallRegions(int columns, int rows)
{
    return columns == 4 && rows == 2 ? windowTileRegions() : gridRegions(columns, rows);
}

QList<QRectF> wallFractions(const Wall &wall, QSize picture, const QString &shownName)
{
    const QRect whole(QPoint(0, 0), picture);
    if (!wall.region.isNull() && (wall.region.isEmpty() || !whole.contains(wall.region)))
        throw RegionOutside(Texts::tr("裁剪区域 %1,%2,%3,%4 不在图片“%5”（%6×%7）之内")
                                .arg(wall.region.x())
                                .arg(wall.region.y())
                                .arg(wall.region.width())
                                .arg(wall.region.height())
                                .arg(shownName)
                                .arg(picture.width())
                                .arg(picture.height()));
    QList<QRectF> fractions;
    for (const QRectF &cell : wallCells(wall, QSizeF(picture)))
        fractions << QRectF(cell.x() / picture.width(), cell.y() / picture.height(),
                            cell.width() / picture.width(), cell.height() / picture.height());
    return fractions;
}

WallPlan planPictureWall(const PictureReader &reader, const Wall &wall)
{
    const QSize picture = reader.size();
    WallPlan plan;
    plan.regions = wallFractions(wall, picture, reader.shownName());
    // The tiles' own pixels in the picture: the narrower way of the smallest cell.
    double ownPixels = MaxTileSide;
    double needWidth = 0, needHeight = 0; // picture size at which each region has `side` pixels
    for (const QRectF &region : plan.regions)
        ownPixels = std::min({ownPixels, region.width() * picture.width(),
                              region.height() * picture.height()});
    plan.tileSide = wall.tileSize > 0   ? wall.tileSize
                    : wall.tileSize == 0 ? windowTileSide()
                                         : std::clamp(int(ownPixels), 1, MaxTileSide);
    const int side = plan.tileSide;
    plan.enlargement = side / std::max(ownPixels, 1e-9);
    for (const QRectF &region : plan.regions) {
        needWidth = std::max(needWidth, side / region.width());
        needHeight = std::max(needHeight, side / region.height());
    }
    const QList<QSize> sizes = reader.decodeSizes();
    qsizetype i = 0;
    while (i + 1 < sizes.size() && (sizes[i].width() < needWidth || sizes[i].height() < needHeight))
        ++i;
    // Softer tiles rather than no tiles, while a smaller decode fits the budget.
    while (i > 0 && cutBytes(reader, sizes[i], plan.regions, side) > PictureMemoryBudget)
        --i;
    plan.decodeSize = sizes[i];
    plan.peakBytes = cutBytes(reader, sizes[i], plan.regions, side);
    return plan;
}

QImage decodePicture(PictureReader &reader, const WallPlan &plan)
{
    QImage picture = reader.read(plan.decodeSize);
    if (!isThirtyTwoBit(picture.format()))
        picture = picture.convertToFormat(
            picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    return picture;
}

void writePictureWall(const QImage &picture, const QString &folder, const Wall &wall,
                      const WallPlan &plan)
{
    const QStringList paths = wallTilePaths(folder, wall);
    for (int i = 0; i < plan.regions.size(); ++i)
        SavePicture(renderRegion(picture, plan.regions[i], plan.tileSide), paths[i], wall.format);
}

} // namespace tk
