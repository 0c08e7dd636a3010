#include "core/regularfile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tk {

RegularFile openRegularFile(const QByteArray &nativePath)
{
    RegularFile result;
    const int fd = ::open(nativePath.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.fault = FileFault::System;
        result.error = errno;
        return result;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        result.fault = S_ISDIR(status.st_mode) ? FileFault::Folder : FileFault::NotRegular;
        ::close(fd);
        return result;
    }
    // Reads of a regular file wait for the disk as usual.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.fault = FileFault::System;
        return result;
    }
    result.file = std::move(file);
    return result;
}

bool isRegularFile(const QByteArray &nativePath)
{
    struct stat status {};
    return !nativePath.isEmpty() && ::stat(nativePath.constData(), &status) == 0 &&
           S_ISREG(status.st_mode);
}

} // namespace tk
