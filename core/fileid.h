#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tk {

// Which file a path names, whatever the path: two names of one file (links, "..",
// another spelling) have the same identity. A missing file has none.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool exists = false;

    bool operator==(const FileIdentity &other) const
    {
        return exists && other.exists && device == other.device && inode == other.inode;
    }
    bool operator!=(const FileIdentity &other) const { return !(*this == other); }
};

FileIdentity identityOf(const QByteArray &nativePath);
FileIdentity identityOf(const QString &path);

inline size_t qHash(const FileIdentity &id, size_t seed = 0)
{
    return qHashMulti(seed, id.device, id.inode, id.exists);
}

// The first of `paths` that names one of `files`, so that writing it would replace that
// file; an empty string when none does. The guard that keeps a cut off its own picture.
QString firstReplacing(const QStringList &paths, const QSet<FileIdentity> &files);

} // namespace tk
