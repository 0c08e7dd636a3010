#include "tiles/picturecut.h"

#include "core/atomicfile.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
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
    const double w = full.width() * scale.width(), h = full.height() * scale.height();
    QList<QRectF> sources;
    for (const QRectF &region : regions)
        sources << QRectF(region.x() * w, region.y() * h, region.width() * w, region.height() * h);
    return sources;
}

WallPipeline pipeline(const QList<QRectF> &sources, QSize decoded, const Wall &wall)
{
    return WallPipeline(sources, decoded, QSize(wall.tileSide(), wall.tileSide()), wall.format);
}

// Peak bytes of cutting a picture decoded at `size`: the decode, the picture with a
// 32-bit copy where needed, and the tiles' work, beside the decode when `held`.
qint64 cutBytes(const PictureReader &reader, QSize size, const Wall &wall, bool held)
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
        wall.tileCount(), QSize(wall.tileSide(), wall.tileSide()), int(alpha) + int(turned), held);
    return held ? std::max(reader.peakBytes(size), picture) + work
                : std::max(reader.peakBytes(size), picture + work);
}

} // namespace

QList<QRectF> wallRegions(int columns, int rows)
{
    if (columns == 4 && rows == 2)
        return windowTileRegions();
    QList<QRectF> regions;
    const double gutterX = 4.0 / PreviewScaleWidth, gutterY = 4.0 / PreviewScaleHeight;
    const double width = (1.0 - (columns - 1) * gutterX) / columns;
    const double height = (1.0 - (rows - 1) * gutterY) / rows;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            regions << QRectF(c * (width + gutterX), r * (height + gutterY), width, height);
    return regions;
}

WallPlan planPictureWall(const PictureReader &reader, const Wall &wall)
{
    const QList<QRectF> regions = wallRegions(wall.columns, wall.rows);
    const int side = wall.tileSide();
    double needWidth = 0, needHeight = 0; // picture size at which each region has `side` pixels
    for (const QRectF &region : regions) {
        needWidth = std::max(needWidth, side / region.width());
        needHeight = std::max(needHeight, side / region.height());
    }
    const QList<QSize> sizes = reader.decodeSizes();
    qsizetype i = 0;
    while (i + 1 < sizes.size() && (sizes[i].width() < needWidth || sizes[i].height() < needHeight))
        ++i;
    // Softer tiles rather than no tiles, while a smaller decode fits the budget.
    while (i > 0 && cutBytes(reader, sizes[i], wall, false) > PictureMemoryBudget)
        --i;
    const bool held = cutBytes(reader, sizes[i], wall, true) <= PictureMemoryBudget;
    return WallPlan{sizes[i], cutBytes(reader, sizes[i], wall, held), held};
}

DecodedWall decodePicture(PictureReader &reader, const Wall &wall, const WallPlan &plan)
{
    const QList<QRectF> sources =
        tileSources(reader.size(), plan.decodeSize, wallRegions(wall.columns, wall.rows));
    if (plan.whileDecoding)
        return DecodedWall{{}, {}, pipeline(sources, plan.decodeSize, wall).encodeWhileDecoding(reader)};
    return DecodedWall{reader.read(plan.decodeSize), sources, {}};
}

void writePictureWall(const DecodedWall &decoded, const QString &folder, const Wall &wall)
{
    const QStringList paths = wallTilePaths(folder, wall);
    if (decoded.tiles.isEmpty()) {
        pipeline(decoded.sources, decoded.picture.size(), wall).write(decoded.picture, paths);
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
