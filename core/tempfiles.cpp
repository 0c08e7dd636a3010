#include "tempfiles.h"

#include <QList>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace tk::tempfiles {

namespace {

struct Registry {
    std::mutex lock;
    QSet<QByteArray> files;
    QList<QByteArray> folders; // in the order they were made
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

void removeEmptyFoldersLocked(Registry &r)
{
    for (auto it = r.folders.crbegin(); it != r.folders.crend(); ++it)
        ::rmdir(it->constData());
    r.folders.clear();
}

} // namespace

int create(const QByteArray &path)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
        r.files.insert(path);
    return fd;
}

int commit(const QByteArray &path, const QByteArray &target)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    if (std::rename(path.constData(), target.constData()) != 0)
        return errno;
    r.files.remove(path);
    return 0;
}

void discard(const QByteArray &path)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    ::unlink(path.constData());
    r.files.remove(path);
}

int createFolders(const QByteArray &path)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    for (qsizetype end = 1; end <= path.size(); ++end) {
        if (end < path.size() && path[end] != '/')
            continue;
        const QByteArray folder = path.left(end);
        if (::mkdir(folder.constData(), 0777) == 0) {
            r.folders << folder;
        } else if (errno != EEXIST) {
            return errno;
        }
    }
    struct stat status {};
    if (::stat(path.constData(), &status) != 0)
        return errno;
    return S_ISDIR(status.st_mode) ? 0 : ENOTDIR;
}

void removeEmptyFolders()
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    removeEmptyFoldersLocked(r);
}

void abandonAndExit(int status)
{
    Registry &r = registry();
    r.lock.lock(); // held to the end: nothing new is made or renamed into place
    for (const QByteArray &file : std::as_const(r.files))
        ::unlink(file.constData());
    removeEmptyFoldersLocked(r);
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace tk::tempfiles
