#include "cli/plan.h"

#include "core/fileid.h"
#include "core/language.h"
#include "core/systemerror.h"
#include "core/text.h"
#include "tiles/wall.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace tk {

namespace {

constexpr int MaxFolderNameBytes = 200;

// Equal for two spellings of one folder; a folder still to be made goes by its path.
QString folderKey(const QString &folder)
{
    const FileIdentity id = identityOf(folder);
    return id.exists ? QStringLiteral("%1:%2").arg(id.device).arg(id.inode)
                     : QDir::cleanPath(folder);
}

QByteArray nativeFolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
}

struct Planned {
    CutJob job;
    QString text;
    QString base;
    QString baseKey;
};

// The batch as far as it is planned: its distinct pictures, the inputs no tile may
// replace, and how many of the pictures each base folder holds.
struct Batch {
    QList<Planned> planned;
    QSet<FileIdentity> inputs;
    QHash<QString, int> perBase;

    bool sharesBase(const Planned &p) const { return perBase.value(p.baseKey) > 1; }
};

// A subfolder is free when no picture of the batch has it, no file or link stands in
// its place, and none of its tiles would replace an input. A link is never entered:
// its tiles would land wherever it points.
bool isFree(const QString &folder, const QSet<QString> &taken, const Wall &wall,
            const QSet<FileIdentity> &inputs)
{
    if (taken.contains(folderKey(folder)))
        return false;
    const QFileInfo info(folder);
    if (info.isSymLink())
        return false;
    if (info.exists())
        return info.isDir() && firstReplacing(wallTilePaths(folderWithSeparator(folder), wall), inputs).isEmpty();
    return true;
}

} // namespace

QString folderNameFor(const QString &name)
{
    QString safe;
    for (const QChar c : name) {
        safe += isControlCharacter(c.unicode()) || c == QLatin1Char('/') ||
                        c == QChar::ReplacementCharacter
                    ? QLatin1Char('_')
                    : c;
    }
    while (safe.toUtf8().size() > MaxFolderNameBytes)
        safe.chop(safe.size() >= 2 && safe.at(safe.size() - 1).isLowSurrogate() ? 2 : 1);
    if (safe.isEmpty())
        return QStringLiteral("_");
    if (safe.count(QLatin1Char('.')) == safe.size())
        safe.fill(QLatin1Char('_'));
    return safe;
}

namespace {

// A picture and the folder chosen for it: --out, or else its own folder, which is refused
// when its name is not valid text (the tiles' paths could not be spelt).
Planned withBase(const PictureArgument &picture, const QString &outDir)
{
    Planned p;
    p.text = picture.text;
    p.job.picture = picture.native;
    p.job.shown = printableName(picture.native);
    if (!outDir.isEmpty()) {
        p.base = folderWithSeparator(QDir(outDir).absolutePath());
    } else {
        const QByteArray folder = nativeFolderOf(picture.native);
        if (!isValidText(folder))
            p.job.refusal = Texts::tr("文件夹名不是系统编码下的有效文字，无法在其中保存小图："
                                      "“%1”（可以用 --out 指定保存位置）")
                                .arg(printableName(folder));
        p.base = folderWithSeparator(QDir(QFile::decodeName(folder)).absolutePath());
    }
    p.job.base = p.base;
    p.baseKey = folderKey(p.base);
    return p;
}

// Distinct pictures: two names of one file are cut once.
Batch distinctPictures(const CutOptions &options)
{
    Batch batch;
    QSet<QString> missing;
    for (const PictureArgument &picture : options.pictures) {
        const FileIdentity id = identityOf(picture.native);
        const QString key = QDir::cleanPath(QDir::current().absoluteFilePath(picture.text));
        if (id.exists ? batch.inputs.contains(id) : missing.contains(key))
            continue;
        id.exists ? void(batch.inputs.insert(id)) : void(missing.insert(key));
        Planned p = withBase(picture, options.outDir);
        ++batch.perBase[p.baseKey];
        batch.planned << p;
    }
    return batch;
}

// Pictures alone in their folder keep it, unless a tile would replace an input there.
void keepOwnFolders(Batch &batch, const Wall &wall, QSet<QString> &taken)
{
    const QSet<FileIdentity> &inputs = batch.inputs;
    for (Planned &p : batch.planned) {
        if (batch.sharesBase(p))
            continue;
        p.job.folder = p.base;
        taken.insert(p.baseKey);
        const QString replaced = firstReplacing(wallTilePaths(p.job.folder, wall), inputs);
        if (p.job.refusal.isEmpty() && !replaced.isEmpty())
            p.job.refusal =
                Texts::tr("小图“%1”会覆盖输入的图片, 未切割").arg(printableName(replaced));
    }
}

// The others get a subfolder each, named after the picture; where names clash the
// extension tells them apart, then a number.
void giveSubfolders(Batch &batch, const Wall &wall, QSet<QString> &taken)
{
    const QSet<FileIdentity> &inputs = batch.inputs;
    const auto stemOf = [](const Planned &p) {
        return p.baseKey + QLatin1Char('/') + QFileInfo(p.text).completeBaseName();
    };
    QHash<QString, int> uses;
    for (const Planned &p : batch.planned)
        if (batch.sharesBase(p))
            ++uses[stemOf(p)];
    QHash<QString, int> nextNumber;
    for (Planned &p : batch.planned) {
        if (!batch.sharesBase(p))
            continue;
        const QFileInfo info(p.text);
        QString name = info.completeBaseName();
        if (uses.value(stemOf(p)) > 1 && !info.suffix().isEmpty())
            name += QLatin1Char('-') + info.suffix();
        name = folderNameFor(name);
        const QString stem = p.baseKey + QLatin1Char('/') + name;
        int &number = nextNumber[stem];
        QString folder;
        for (;;) {
            const QString candidate =
                number == 0 ? name : name + QStringLiteral("-%1").arg(number + 1);
            ++number;
            folder = p.base + candidate;
            if (isFree(folder, taken, wall, inputs))
                break;
        }
        taken.insert(folderKey(folder));
        p.job.folder = folderWithSeparator(folder);
    }
}

} // namespace

QList<CutJob> planCuts(const CutOptions &options)
{
    Batch batch = distinctPictures(options);
    QSet<QString> taken; // folders of the batch, by folderKey
    keepOwnFolders(batch, options.wall, taken);
    giveSubfolders(batch, options.wall, taken);
    QList<CutJob> jobs;
    for (const Planned &p : batch.planned)
        jobs << p.job;
    return jobs;
}

} // namespace tk
