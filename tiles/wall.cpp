#include "tiles/wall.h"

#include "core/error.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
#include "tiles/picturecut.h"
#include "tiles/tileexport.h"
#include "tiles/windowcut.h"

#include <cmath>

namespace tk {

QStringList wallTilePaths(const QString &folder, const Wall &wall)
{
    return tilePaths(folder, wall.tileCount(), wall.format.extension());
}

void refuseWall(const PictureReader &reader, const Wall &wall, int side, qint64 bytes)
{
    throw Error(
        Texts::tr("图片“%1”太大：切成 %2 张 %3×%3 的小图")
            .arg(reader.shownName(), QString::number(wall.tileCount()), QString::number(side)) +
        beyondBudget(bytes));
}

QString enlargementWarning(double enlargement)
{
    return Texts::tr("小图将被放大约 %1 倍，可能不清晰")
        .arg(QString::number(std::round(enlargement * 10) / 10, 'f', 1));
}

WallPlan planWall(const PictureReader &reader, const Wall &wall)
{
    const WallPlan plan =
        wall.isWindowWall() ? planWindowWall(reader) : planPictureWall(reader, wall);
    if (plan.peakBytes > PictureMemoryBudget)
        refuseWall(reader, wall, plan.tileSide, plan.peakBytes);
    return plan;
}

DecodedWall decodeForWall(PictureReader &reader, const Wall &wall, const WallPlan &plan)
{
    return wall.isWindowWall() ? DecodedWall{decodePreview(reader), {}, {}}
                               : decodePicture(reader, wall, plan);
}

void writeWall(const DecodedWall &decoded, const QString &folder, const Wall &wall,
               const WallPlan &plan)
{
    if (wall.isWindowWall())
        writeWindowWall(decoded.picture, folder, wall.format);
    else
        writePictureWall(decoded, folder, wall, plan);
}

void cutWall(PictureReader &reader, const QString &folder, const Wall &wall)
{
    const WallPlan plan = planWall(reader, wall);
    writeWall(decodeForWall(reader, wall, plan), folder, wall, plan);
}

void cutWall(const QString &path, const QString &folder, const Wall &wall)
{
    PictureReader reader(path);
    cutWall(reader, folder, wall);
}

} // namespace tk
