#include "core/companionfiles.h"

#include "core/atomicfile.h"
#include "core/error.h"
#include "core/language.h"
#include "core/text.h"

#include <QDir>
#include <QFileInfo>

namespace tk {

const std::array<CompanionFile, 6> CompanionFiles = {{
    {101, SkinLibraryName},
    {102, SkinFileName},
    {103, "License.txt"},
    {104, "ReadMe.txt"},
    {105, "WhatsNew.txt"},
    {106, "广告合作及其协议.txt"},
}};

namespace {

bool present(const QString &path)
{
    // A dangling link is still somebody's file: leave it alone too.
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

// Writes the missing files into `folder`; returns the first write failure, or "".
QString fillFolder(const QString &folder, const std::function<QByteArray(int)> &resource,
                   QStringList &written)
{
    const QString base = folderWithSeparator(folder);
    for (const CompanionFile &file : CompanionFiles) {
        const QString path = base + QString::fromUtf8(file.name);
        if (present(path))
            continue;
        // Read before the file is begun, so a resource that fails leaves no file behind.
        const QByteArray bytes = resource(file.number);
        try {
            writeFileAtomically(path, [&bytes](QIODevice &out) {
                return out.write(bytes) == bytes.size() ? QString() : out.errorString();
            });
        } catch (const Error &e) {
            return e.message();
        }
        written << path;
    }
    return QString();
}

} // namespace

QString skinLibraryPath(const QString &folder)
{
    return folderWithSeparator(folder) + QLatin1String(SkinLibraryName);
}

QString skinFilePath(const QString &folder)
{
    return folder + QLatin1Char('/') + QLatin1String(SkinFileName);
}

CompanionOutcome writeCompanionFiles(const QString &programFolder, const QString &dataFolder,
                                     const std::function<QByteArray(int)> &resource)
{
    CompanionOutcome outcome;
    const QString programFailure = fillFolder(programFolder, resource, outcome.written);
    if (programFailure.isEmpty()) {
        outcome.folder = programFolder;
        return outcome;
    }
    QString dataFailure;
    if (dataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        dataFailure = Texts::tr("无法创建文件夹“%1”").arg(dataFolder);
    else
        dataFailure = fillFolder(dataFolder, resource, outcome.written);
    if (dataFailure.isEmpty()) {
        outcome.folder = dataFolder;
        return outcome;
    }
    outcome.failure = Texts::tr("附带文件无法写出，本次启动不带皮肤和说明文档。\n%1\n%2")
                          .arg(programFailure, dataFailure);
    return outcome;
}

} // namespace tk
