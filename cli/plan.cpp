#include "plan.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace tk {

namespace {

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// A key that is equal for two names of the same file, where that can be told.
QString fileKey(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

// Subfolder names after the pictures, told apart by extension where the names clash.
QStringList subfolderNames(const QStringList &pictures)
{
    QHash<QString, int> uses;
    for (const QString &p : pictures)
        ++uses[QFileInfo(p).completeBaseName()];
    QStringList names;
    for (const QString &p : pictures) {
        const QFileInfo info(p);
        QString name = info.completeBaseName();
        if (uses.value(name) > 1 && !info.suffix().isEmpty())
            name += QLatin1Char('-') + info.suffix();
        names << (name.isEmpty() ? info.fileName() : name);
    }
    return names;
}

} // namespace

QList<CutJob> planCuts(const CutOptions &options)
{
    QStringList pictures;
    QSet<QString> inputs;
    for (const QString &p : options.pictures) {
        if (!inputs.contains(fileKey(p))) {
            inputs.insert(fileKey(p));
            pictures << p;
        }
    }

    QHash<QString, int> perFolder; // pictures sharing an output folder
    QStringList baseFolders;
    for (const QString &p : pictures) {
        const QString base = options.outDir.isEmpty()
                                 ? withSeparator(QFileInfo(p).absolutePath())
                                 : withSeparator(QDir(options.outDir).absolutePath());
        baseFolders << base;
        ++perFolder[fileKey(base)];
    }

    QList<CutJob> jobs;
    for (int i = 0; i < pictures.size(); ++i) {
        const QString &base = baseFolders[i];
        // Pictures alone in their folder keep it; others get a subfolder each.
        QStringList group;
        for (int j = 0; j < pictures.size(); ++j)
            if (fileKey(baseFolders[j]) == fileKey(base))
                group << pictures[j];
        const QString folder =
            perFolder.value(fileKey(base)) > 1
                ? withSeparator(base + subfolderNames(group)[group.indexOf(pictures[i])])
                : base;
        CutJob job{pictures[i], folder, QString()};
        for (const QString &tile : wallTilePaths(folder, options.wall)) {
            if (inputs.contains(fileKey(tile))) {
                job.refusal = QStringLiteral("小图“%1”会覆盖输入的图片, 未切割").arg(tile);
                break;
            }
        }
        jobs << job;
    }
    return jobs;
}

} // namespace tk
