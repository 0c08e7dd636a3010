#include "tiles/wallchoice.h"

#include "core/language.h"
#include "core/systemerror.h"
#include "core/text.h"
#include "tiles/wall.h"

#include <QRegularExpression>
#include <limits>

namespace tk {

QString readGrid(const QString &text, Wall &wall)
{
    static const QRegularExpression grid(QStringLiteral("^(\\d{1,2})[xX×](\\d{1,2})$"));
    const auto match = grid.match(text);
    const int columns = match.hasMatch() ? boundedNumber(match.captured(1), 1, MaxWallSide) : -1;
    const int rows = match.hasMatch() ? boundedNumber(match.captured(2), 1, MaxWallSide) : -1;
    if (columns < 0 || rows < 0)
        return Texts::tr("--grid 需要 列x行, 如 3x3 (1 到 %1): %2")
            .arg(MaxWallSide)
            .arg(printableName(text));
    wall.columns = columns;
    wall.rows = rows;
    return QString();
}

QString readFit(const QString &text, Wall &wall)
{
    if (text == QLatin1String("stretch"))
        wall.fit = Fit::Stretch;
    else if (text == QLatin1String("crop"))
        wall.fit = Fit::Crop;
    else
        return Texts::tr("--fit 只能是 stretch (拉伸铺满) 或 crop (保持比例): %1")
            .arg(printableName(text));
    return QString();
}

QString readTileSize(const QString &text, Wall &wall)
{
    if (text == QLatin1String("native") || text == QLatin1String("preview")) {
        wall.tileSize = text == QLatin1String("native") ? NativeTileSize : 0;
        return QString();
    }
    const int size = boundedNumber(text, 1, MaxTileSide);
    if (size < 0)
        return Texts::tr("--size 需要 1 到 %1 之间的整数, 或 native、preview: %2")
            .arg(MaxTileSide)
            .arg(printableName(text));
    wall.tileSize = size;
    return QString();
}

QString readCrop(const QString &text, Wall &wall)
{
    const QStringList parts = text.split(QLatin1Char(','));
    QList<int> numbers;
    for (const QString &part : parts)
        numbers << boundedNumber(part.trimmed(), 0, std::numeric_limits<int>::max());
    if (numbers.size() != 4 || numbers.contains(-1) || numbers[2] < 1 || numbers[3] < 1)
        return Texts::tr("--crop 需要 X,Y,宽,高 (像素, 不为负, 宽和高至少为 1): %1")
            .arg(printableName(text));
    const qint64 right = qint64(numbers[0]) + numbers[2], bottom = qint64(numbers[1]) + numbers[3];
    if (right > std::numeric_limits<int>::max() || bottom > std::numeric_limits<int>::max())
        return Texts::tr("--crop 的区域太大: %1").arg(printableName(text));
    wall.region = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
    return QString();
}

QString gridText(const Wall &wall)
{
    return QStringLiteral("%1x%2").arg(wall.columns).arg(wall.rows);
}

QString fitText(const Wall &wall)
{
    return wall.fit == Fit::Crop ? QStringLiteral("crop") : QStringLiteral("stretch");
}

QString tileSizeText(const Wall &wall)
{
    return wall.tileSize == NativeTileSize ? QStringLiteral("native")
           : wall.tileSize == 0            ? QStringLiteral("preview")
                                           : QString::number(wall.tileSize);
}

} // namespace tk
