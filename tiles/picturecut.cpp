#include "tiles/picturecut.h"

#include "core/atomicfile.h"
#include "core/error.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
#include "tiles/framing.h"
#include "tiles/wallpipeline.h"
#include "tiles/windowcut.h"
#include "tiles/windowgeometry.h"

#include <algorithm>

namespace tk {

namespace {

// The scale of a picture of `full` pixels decoded at `decoded`: a JPEG decoder's eighths
// (it rounds the size up, so the plain ratio would shift the far edge), else the ratio.
QSizeF decodeScale(QSize full, QSize decoded)
{
    for (int eighths = 1; eighths <= 8; ++eighths) {
        const auto scaled = [eighths](int n) { return int((qint64(n) * eighths + 7) / 8); };
        if (scaled(full.width()) == decoded.width() && scaled(full.height()) == decoded.height())
            return QSizeF(eighths / 8.0, eighths / 8.0);
    }
    return QSizeF(double(decoded.width()) / full.width(), double(decoded.height()) / full.height());
}

// Each region's rectangle in the picture of `full` pixels decoded at `decoded`, in its pixels.
QList<QRectF> tileSources(QSize full, QSize decoded, const QList<QRectF> &regions)
{
    const QSizeF scale = decodeScale(full, decoded);
    const QRectF whole(0, 0, full.width() * scale.width(), full.height() * scale.height());
    QList<QRectF> sources;
    for (const QRectF &region : regions)
        sources << placedIn(region, whole);
    return sources;
}

WallPipeline pipeline(const QList<QRectF> &sources, QSize decoded, const WallPlan &plan,
                      const SaveFormat &format)
{
    return WallPipeline(sources, decoded, QSize(plan.tileSide, plan.tileSide), format);
}

// Peak bytes of cutting a picture decoded at `size`: the decode, the picture with a
// 32-bit copy where needed, and the tiles' work, beside the decode when `held`.
qint64 cutBytes(const PictureReader &reader, QSize size, const Wall &wall, int side, bool held)
{
    const QImage::Format format = reader.format();
    const bool thirtyTwoBit =
        format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
    const qint64 picture =
        pixelArea(size) * bytesPerPixel(format) + (thirtyTwoBit ? 0 : pixelArea(size) * 4);
    const bool alpha = format == QImage::Format_Invalid ||
                       QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
    const bool turned = reader.transformation() != QImageIOHandler::TransformationNone;
    const qint64 work = WallPipeline::workBytes(
        wall.tileCount(), QSize(side, side), int(alpha) + int(turned), held);
    return held ? std::max(reader.peakBytes(size), picture) + work
                : std::max(reader.peakBytes(size), picture + work);
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
    while (i > 0 && cutBytes(reader, sizes[i], wall, side, false) > PictureMemoryBudget)
        --i;
    plan.decodeSize = sizes[i];
    plan.whileDecoding = cutBytes(reader, sizes[i], wall, side, true) <= PictureMemoryBudget;
    plan.peakBytes = cutBytes(reader, sizes[i], wall, side, plan.whileDecoding);
    return plan;
}

DecodedWall decodePicture(PictureReader &reader, const Wall &wall, const WallPlan &plan)
{
    const QList<QRectF> sources = tileSources(reader.size(), plan.decodeSize, plan.regions);
    if (plan.whileDecoding)
        return DecodedWall{
            {}, {}, pipeline(sources, plan.decodeSize, plan, wall.format).encodeWhileDecoding(reader)};
    return DecodedWall{reader.read(plan.decodeSize), sources, {}};
}

void writePictureWall(const DecodedWall &decoded, const QString &folder, const Wall &wall,
                      const WallPlan &plan)
{
    const QStringList paths = wallTilePaths(folder, wall);
    if (decoded.tiles.isEmpty()) {
        pipeline(decoded.sources, decoded.picture.size(), plan, wall.format)
            .write(decoded.picture, paths);
        return;
    }
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QByteArray &bytes = decoded.tiles[i];
        writeFileAtomically(paths[i], [&bytes](QIODevice &device) {
            return device.write(bytes) == bytes.size() ? QString() : device.errorString();
        });
    }
}

} // namespace tk
