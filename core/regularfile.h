#pragma once

#include <QByteArray>
#include <QFile>
#include <memory>

namespace tk {

// What stood at a name that openRegularFile() would not hand on.
enum class FileFault { None, System, Folder, NotRegular };

struct RegularFile {
    std::unique_ptr<QFile> file; // open for reading; null when `fault` says why
    FileFault fault = FileFault::None;
    int error = 0; // errno of a System fault; 0 when the system gave none
};

// Opens `nativePath` for reading only when it is a regular file (or a link to one). The
// open never waits, so a pipe or a device under the name cannot block the caller.
RegularFile openRegularFile(const QByteArray &nativePath);

// True when `nativePath` names a regular file (or a link to one); looks, never opens.
bool isRegularFile(const QByteArray &nativePath);

} // namespace tk
