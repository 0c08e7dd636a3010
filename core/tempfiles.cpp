#include "core/tempfiles.h"

#include <QHash>
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

struct Hold {
    int fd = -1;
    int users = 0;
};

struct Registry {
    std::mutex lock;
    QSet<QByteArray> files;
    QList<QByteArray> folders;    // in the order they were made
    QHash<QByteArray, Hold> held; // by the folder's path without a trailing separator
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

QByteArray normalised(QByteArray folder)
{
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    return folder;
}

QByteArray joined(const QByteArray &folder, const QByteArray &name)
{
    return folder == "/" ? folder + name : folder + '/' + name;
}

// Where a file is reached: through the hold on its folder, or else by its path.
struct Place {
    int folder;
    QByteArray name;
};

Place placeOf(const Registry &r, const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash >= 0) {
        const auto hold = r.held.constFind(normalised(slash == 0 ? "/" : path.left(slash)));
        if (hold != r.held.cend())
            return {hold->fd, path.mid(slash + 1)};
    }
    return {AT_FDCWD, path};
}

// Makes the folder `name` inside `parent` where it is missing, recording it as `path`,
// and opens it without following a link; the descriptor, or -1 with `error` set (ELOOP
// for a link).
int enterFolder(Registry &r, int parent, const QByteArray &name, const QByteArray &path, int *error)
{
    if (name == "." || name == "..") {
        *error = EINVAL;
        return -1;
    }
    if (::mkdirat(parent, name.constData(), 0777) == 0) {
        r.folders << path;
    } else if (errno != EEXIST) {
        *error = errno;
        return -1;
    }
    const int fd =
        ::openat(parent, name.constData(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd >= 0)
        return fd;
    *error = errno;
    struct stat status {};
    if (::fstatat(parent, name.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISLNK(status.st_mode))
        *error = ELOOP;
    return -1;
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
    const Place place = placeOf(r, path);
    const int fd = ::openat(place.folder, place.name.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0)
        r.files.insert(path);
    return fd;
}

int commit(const QByteArray &path, const QByteArray &target)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    const Place from = placeOf(r, path), to = placeOf(r, target);
    if (::renameat(from.folder, from.name.constData(), to.folder, to.name.constData()) != 0)
        return errno;
    r.files.remove(path);
    return 0;
}

void discard(const QByteArray &path)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    const Place place = placeOf(r, path);
    ::unlinkat(place.folder, place.name.constData(), 0);
    r.files.remove(path);
}

int createFolders(const QByteArray &base, const QByteArray &below)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    for (qsizetype end = 1; end <= base.size(); ++end) {
        if (end < base.size() && base[end] != '/')
            continue;
        const QByteArray folder = base.left(end);
        if (::mkdir(folder.constData(), 0777) == 0) {
            r.folders << folder;
        } else if (errno != EEXIST) {
            return errno;
        }
    }
    // The base is the user's own choice, links and all.
    int fd = ::open(base.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    QByteArray path = normalised(base);
    for (const QByteArray &name : below.split('/')) {
        if (name.isEmpty())
            continue;
        path = joined(path, name);
        int error = 0;
        const int next = enterFolder(r, fd, name, path, &error);
        ::close(fd);
        if (next < 0)
            return error;
        fd = next;
    }
    Hold &hold = r.held[path];
    if (hold.users++ == 0)
        hold.fd = fd;
    else
        ::close(fd);
    return 0;
}

void releaseFolder(const QByteArray &folder)
{
    Registry &r = registry();
    const std::lock_guard<std::mutex> locker(r.lock);
    const auto hold = r.held.find(normalised(folder));
    if (hold == r.held.end() || --hold->users > 0)
        return;
    ::close(hold->fd);
    r.held.erase(hold);
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
    for (const QByteArray &file : std::as_const(r.files)) {
        const Place place = placeOf(r, file);
        ::unlinkat(place.folder, place.name.constData(), 0);
    }
    removeEmptyFoldersLocked(r);
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace tk::tempfiles
