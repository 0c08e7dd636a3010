// Any argument vector (arguments separated by NUL bytes) through the cutter's command
// line and its folder planning: every picture's folder is its own and lies inside the
// folder it belongs to, and every folder name made from a file name is safe.
#include "cli/options.h"
#include "cli/plan.h"

#include <QDir>
#include <QSet>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkFolderName(const QString &name)
{
    const QString safe = tk::folderNameFor(name);
    check(!safe.isEmpty() && safe != QLatin1String(".") && safe != QLatin1String(".."));
    check(!safe.contains(QLatin1Char('/')) && safe.toUtf8().size() <= 200);
    for (const QChar c : safe)
        check(c.unicode() >= 0x20 && c.unicode() != 0x7F);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArrayList arguments{"tesselkraft-cut"};
    arguments += QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('\0');
    if (arguments.size() > 64)
        return 0;
    for (const QByteArray &argument : arguments)
        checkFolderName(QFile::decodeName(argument));

    const tk::ParsedCommandLine parsed = tk::parseCommandLine(arguments);
    if (parsed.kind != tk::ParsedCommandLine::Run)
        return 0;
    QSet<QString> folders;
    for (const tk::CutJob &job : tk::planCuts(parsed.options)) {
        if (!job.refusal.isEmpty())
            continue;
        check(job.folder.endsWith(QLatin1Char('/')));
        // The part below the base is what is entered without following links.
        check(job.folder.startsWith(job.base) && job.base.endsWith(QLatin1Char('/')));
        check(!folders.contains(QDir::cleanPath(job.folder)));
        folders.insert(QDir::cleanPath(job.folder));
        const QString picture = QFile::decodeName(job.picture);
        const qsizetype slash = picture.lastIndexOf(QLatin1Char('/'));
        const QString pictureFolder = slash < 0    ? QStringLiteral(".")
                                      : slash == 0 ? QStringLiteral("/")
                                                   : picture.left(slash);
        const QString base = QDir(parsed.options.outDir.isEmpty() ? pictureFolder
                                                                  : parsed.options.outDir)
                                 .absolutePath();
        const QString folder = QDir::cleanPath(job.folder);
        check(folder == QDir::cleanPath(base) ||
              QDir::cleanPath(folder + QStringLiteral("/..")) == QDir::cleanPath(base));
    }
    return 0;
}
