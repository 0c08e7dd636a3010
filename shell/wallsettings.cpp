#include "shell/wallsettings.h"

#include "core/language.h"
#include "core/systemerror.h"
#include "tiles/wallchoice.h"

#include <QSettings>

namespace tk {

namespace {

const QString GridKey = QStringLiteral("wall/grid");
const QString FitKey = QStringLiteral("wall/fit");
const QString SizeKey = QStringLiteral("wall/size");

QSettings settings()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Tesselkraft"),
                     QStringLiteral("Tesselkraft"));
}

using Reader = QString (*)(const QString &, Wall &);

// A choice that is missing or no longer valid leaves the design's.
void readInto(const QSettings &stored, const QString &key, Reader read, Wall &wall)
{
    const QVariant value = stored.value(key);
    if (value.isValid())
        read(value.toString(), wall);
}

} // namespace

Wall rememberedWall()
{
    const QSettings stored = settings();
    Wall wall;
    readInto(stored, GridKey, readGrid, wall);
    readInto(stored, FitKey, readFit, wall);
    readInto(stored, SizeKey, readTileSize, wall);
    return wall;
}

void rememberWall(const Wall &wall)
{
    QSettings stored = settings();
    stored.setValue(GridKey, gridText(wall));
    stored.setValue(FitKey, fitText(wall));
    stored.setValue(SizeKey, tileSizeText(wall));
}

WindowArguments readWindowArguments(const QByteArrayList &arguments, const Wall &remembered)
{
    struct Option {
        QLatin1String name;
        Reader read;
    };
    const Option options[] = {{QLatin1String("--grid"), readGrid},
                              {QLatin1String("--fit"), readFit},
                              {QLatin1String("--size"), readTileSize}};
    WindowArguments result;
    result.wall = remembered;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString argument = QString::fromLocal8Bit(arguments[i]);
        const Option *option = nullptr;
        QString value;
        for (const Option &candidate : options) {
            if (argument == candidate.name) {
                option = &candidate;
                if (i + 1 >= arguments.size()) {
                    result.error = Texts::tr("%1 缺少参数").arg(argument);
                    return result;
                }
                value = QString::fromLocal8Bit(arguments[++i]);
            } else if (argument.startsWith(candidate.name + QLatin1Char('='))) {
                option = &candidate;
                value = argument.mid(candidate.name.size() + 1);
            }
        }
        if (option) {
            result.error = option->read(value, result.wall);
            if (!result.error.isEmpty())
                return result;
        } else if (argument.startsWith(QLatin1String("--")) && argument.size() > 2) {
            result.error = Texts::tr("未知选项: %1").arg(printableName(argument));
            return result;
        } else if (result.file.isEmpty()) {
            result.file = arguments[i];
        }
    }
    return result;
}

} // namespace tk
