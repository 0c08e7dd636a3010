#include "cli/options.h"

#include "core/language.h"
#include "core/systemerror.h"
#include "core/text.h"
#include "tiles/wallchoice.h"

namespace tk {

namespace {

// JPEG's quality scale.
constexpr int MaxQuality = 100;

ParsedCommandLine usageError(const QString &message)
{
    ParsedCommandLine parsed;
    parsed.kind = ParsedCommandLine::UsageError;
    parsed.message = message;
    return parsed;
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
        return Texts::tr("--out 需要一个目录");
    if (value.contains(QChar::ReplacementCharacter))
        return Texts::tr("--out 的目录名不是系统编码下的有效文字: %1").arg(printableName(value));
    reading.options.outDir = value;
    return QString();
}

QString takeSize(Reading &reading, const QString &value)
{
    return readTileSize(value, reading.options.wall);
}

QString takeGrid(Reading &reading, const QString &value)
{
    return readGrid(value, reading.options.wall);
}

QString takeFit(Reading &reading, const QString &value)
{
    return readFit(value, reading.options.wall);
}

QString takeCrop(Reading &reading, const QString &value)
{
    return readCrop(value, reading.options.wall);
}

QString takeFormat(Reading &reading, const QString &value)
{
    if (value == QLatin1String("jpg") || value == QLatin1String("jpeg"))
        reading.options.wall.format.format = "jpeg";
    else if (value == QLatin1String("png"))
        reading.options.wall.format.format = "png";
    else
        return Texts::tr("--format 只能是 jpg 或 png: %1").arg(printableName(value));
    return QString();
}

QString takeQuality(Reading &reading, const QString &value)
{
    reading.qualityGiven = true;
    if ((reading.options.wall.format.quality = boundedNumber(value, 1, MaxQuality)) < 0)
        return Texts::tr("--quality 需要 1 到 %1 之间的整数: %2")
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
    {QLatin1String("--fit"),     true,  takeFit},
    {QLatin1String("--crop"),    true,  takeCrop},
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
    return Texts::tr(
        "用法: tesselkraft-cut [选项] 图片...\n"
        "把每张图片切成照片墙的小图 (默认 4x2 共 8 张, 与窗口程序生成的完全相同),\n"
        "以 1.jpg、2.jpg … 命名, 保存在图片旁边。\n"
        "\n"
        "选项:\n"
        "  --out 目录        保存到该目录 (不存在时自动创建); 多张图片时每张一个子目录\n"
        "  --size N          高清小图: 从原图取样, 每张 N×N 像素 (默认 146, 取自预览);\n"
        "                    native: 原图清晰度, 不放大的最大尺寸\n"
        "  --grid 列x行      其他照片墙, 如 3x3、3x1、2x2, 最多 10x10 (默认 4x2)\n"
        "  --fit stretch|crop  stretch: 拉伸铺满 (默认); crop: 保持比例, 取居中的最大部分\n"
        "  --crop X,Y,宽,高  只切图片的这一部分 (像素, 按图片的方向), 当作整张图片\n"
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
        "  tesselkraft-cut --grid 3x3 --out wall *.jpg  # 九宫格, 每张图片一个子目录\n"
        "  tesselkraft-cut --grid 3x3 --fit crop --size native photo.jpg  # 不变形的九宫格\n");
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
            return usageError(Texts::tr("未知选项: %1").arg(printableName(name)));
        QString value;
        if (option->takesValue) {
            if (eq > 0)
                value = arg.mid(eq + 1);
            else if (i + 1 < arguments.size())
                value = arguments[++i];
            else
                return usageError(Texts::tr("%1 缺少参数").arg(printableName(arg)));
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
        return usageError(Texts::tr("没有给出图片"));
    // PNG has no quality; its writer would read one as a compression level.
    if (reading.options.wall.format.format == "png" && !reading.qualityGiven)
        reading.options.wall.format.quality = -1;
    ParsedCommandLine parsed;
    parsed.options = std::move(reading.options);
    return parsed;
}

} // namespace tk
