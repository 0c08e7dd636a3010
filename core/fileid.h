#pragma once

#include <QByteArray>
#include <QHashFunctions>
#include <QString>

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

} // namespace tk
