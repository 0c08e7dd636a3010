#include "core/fileid.h"

#include <QFile>
#include <sys/stat.h>

namespace tk {

FileIdentity identityOf(const QByteArray &nativePath)
{
    struct stat status {};
    if (nativePath.isEmpty() || ::stat(nativePath.constData(), &status) != 0)
        return {};
    return {quint64(status.st_dev), quint64(status.st_ino), true};
}

FileIdentity identityOf(const QString &path)
{
    return identityOf(QFile::encodeName(path));
}

QString firstReplacing(const QStringList &paths, const QSet<FileIdentity> &files)
{
    for (const QString &path : paths)
        if (files.contains(identityOf(path)))
            return path;
    return QString();
}

} // namespace tk
