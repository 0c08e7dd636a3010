#include "cli/options.h"

#include "core/systemerror.h"

#include <QRegularExpression>

namespace tk {

namespace {

// The largest tile side and grid side the cutter takes, and JPEG's quality scale.
constexpr int MaxTileSide = 10000;
constexpr int MaxGridSide = 20;
constexpr int MaxQuality = 100;

ParsedCommandLine usageError(const QString &message)
{
    ParsedCommandLine parsed;
    parsed.kind = ParsedCommandLine::UsageError;
    parsed.message = message;
    return parsed;
}

// A whole number in [low, high], or -1.
int boundedNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? value : -1;
}

// What the options read so far ask for.
struct Reading {
    CutOptions options;
    bool help = false;
    bool qualityGiven = false;
};

// Takes one option into `reading`, with its value where it has one; returns the usage
// error, or an empty string.
using Take = QString (*)(Reading &reading, const QString &value);

QString takeHelp(Reading &reading, const QString &)
{
    reading.help = true;
    return QString();
}

QString takeQuiet(Reading &reading, const QString &)
{
    reading.options.quiet = true;
    return QString();
}

QString takeOut(Reading &reading, const QString &value)
{
    if (value.isEmpty())
        return QStringLiteral("--out 需要一个目录");
    if (value.contains(QChar::ReplacementCharacter))
        return QStringLiteral("--out 的目录名不是系统编码下的有效文字: %1")
            .arg(printableName(value));
    reading.options.outDir = value;
    return QString();
}

QString takeSize(Reading &reading, const QString &value)
{
    if ((reading.options.wall.tileSize = boundedNumber(value, 1, MaxTileSide)) < 0)
        return QStringLiteral("--size 需要 1 到 %1 之间的整数: %2")
            .arg(MaxTileSide)
            .arg(printableName(value));
    return QString();
}

QString takeGrid(Reading &reading, const QString &value)
{
    static const QRegularExpression grid(QStringLiteral("^(\\d{1,2})[xX×](\\d{1,2})$"));
    const auto match = grid.match(value);
    const int columns = match.hasMatch() ? boundedNumber(match.captured(1), 1, MaxGridSide) : -1;
    const int rows = match.hasMatch() ? boundedNumber(match.captured(2), 1, MaxGridSide) : -1;
    if (columns < 0 || rows < 0)
        return QStringLiteral("--grid 需要 列x行, 如 3x3 (1 到 %1): %2")
            .arg(MaxGridSide)
            .arg(printableName(value));
    reading.options.wall.columns = columns;
    reading.options.wall.rows = rows;
    return QString();
}

QString takeFormat(Reading &reading, const QString &value)
{
    if (value == QLatin1String("jpg") || value == QLatin1String("jpeg"))
        reading.options.wall.format.format = "jpeg";
    else if (value == QLatin1String("png"))
        reading.options.wall.format.format = "png";
    else
        return QStringLiteral("--format 只能是 jpg 或 png: %1").arg(printableName(value));
    return QString();
}

QString takeQuality(Reading &reading, const QString &value)
{
    reading.qualityGiven = true;
    if ((reading.options.wall.format.quality = boundedNumber(value, 1, MaxQuality)) < 0)
        return QStringLiteral("--quality 需要 1 到 %1 之间的整数: %2")
            .arg(MaxQuality)
            .arg(printableName(value));
    return QString();
}

struct Option {
    QLatin1String name;
    // Given as "--name value" or "--name=value".
    bool takesValue;
    Take take;
};

// clang-format off
const Option Options[] = {
    {QLatin1String("--help"),    false, takeHelp},
    {QLatin1String("--quiet"),   false, takeQuiet},
    {QLatin1String("--out"),     true,  takeOut},
    {QLatin1String("--size"),    true,  takeSize},
    {QLatin1String("--grid"),    true,  takeGrid},
    {QLatin1String("--format"),  true,  takeFormat},
    {QLatin1String("--quality"), true,  takeQuality},
};
// clang-format on

const Option *optionNamed(const QString &name)
{
    for (const Option &option : Options)
        if (name == option.name)
            return &option;
    return nullptr;
}

} // namespace

QString helpText()
{
    return QStringLiteral(
        "用法: tesselkraft-cut [选项] 图片...\n"
        "把每张图片切成照片墙的小图 (默认 4x2 共 8 张, 与窗口程序生成的完全相同),\n"
        "以 1.jpg、2.jpg … 命名, 保存在图片旁边。\n"
        "\n"
        "选项:\n"
        "  --out 目录        保存到该目录 (不存在时自动创建); 多张图片时每张一个子目录\n"
        "  --size N          高清小图: 从原图取样, 每张 N×N 像素 (默认 146, 取自预览)\n"
        "  --grid 列x行      其他照片墙, 如 3x3、3x1、2x2 (默认 4x2)\n"
        "  --format jpg|png  小图格式 (默认 jpg)\n"
        "  --quality Q       JPEG 质量 1-100 (默认 95)\n"
        "  --quiet           只报告错误\n"
        "  --help            显示本说明\n"
        "\n"
        "同一文件夹里的多张图片 (未给 --out 时) 各自保存到以图片命名的子目录。\n"
        "输入图片本身永远不会被覆盖; 已有的同名小图会被替换。\n"
        "退出码: 0 全部成功, 1 有图片失败, 2 用法错误。\n"
        "\n"
        "示例:\n"
        "  tesselkraft-cut cat.jpg                      # 与窗口程序相同的 8 张小图\n"
        "  tesselkraft-cut --size 1080 cat.jpg          # 8 张 1080×1080 高清小图\n"
        "  tesselkraft-cut --grid 3x3 --out wall *.jpg  # 九宫格, 每张图片一个子目录\n");
}

ParsedCommandLine parseCommandLine(const QByteArrayList &nativeArguments)
{
    QStringList arguments;
    for (const QByteArray &argument : nativeArguments)
        arguments << QString::fromLocal8Bit(argument);
    Reading reading;
    bool optionsEnded = false;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnded || !arg.startsWith(QLatin1String("--")) || arg == QLatin1String("-")) {
            reading.options.pictures << PictureArgument{nativeArguments[i], arg};
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        const QString name = eq > 0 ? arg.left(eq) : arg;
        const Option *option = optionNamed(name);
        if (!option || (eq > 0 && !option->takesValue))
            return usageError(QStringLiteral("未知选项: %1").arg(printableName(name)));
        QString value;
        if (option->takesValue) {
            if (eq > 0)
                value = arg.mid(eq + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return usageError(QStringLiteral("%1 缺少参数").arg(printableName(arg)));
        }
        if (const QString error = option->take(reading, value); !error.isEmpty())
            return usageError(error);
        if (reading.help) {
            ParsedCommandLine parsed;
            parsed.kind = ParsedCommandLine::Help;
            return parsed;
        }
    }
    if (reading.options.pictures.isEmpty())
        return usageError(QStringLiteral("没有给出图片"));
    // PNG has no quality; its writer would read one as a compression level.
    if (reading.options.wall.format.format == "png" && !reading.qualityGiven)
        reading.options.wall.format.quality = -1;
    ParsedCommandLine parsed;
    parsed.options = std::move(reading.options);
    return parsed;
}

} // namespace tk
