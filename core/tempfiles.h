#pragma once

#include <QByteArray>

namespace tk {

// The files and folders this process is in the middle of making, so that a run that
// is interrupted can take them away again. Paths are in the system's encoding. Every
// call is thread-safe; failures return an errno value (0 for success).
namespace tempfiles {

// Creates the new file `path` for writing and records it; the descriptor, or -1 with
// errno set.
int create(const QByteArray &path);
// Renames the recorded file over `target`, which then stays for good.
int commit(const QByteArray &path, const QByteArray &target);
// Removes the recorded file.
void discard(const QByteArray &path);

// Creates the folder `base` with its missing parents, reached as named (links and
// all), then the folders of the relative path `below` inside it, one by one, never
// through a symbolic link: an entry of `below` that is a link fails with ELOOP. Records
// each folder it made, and holds the last one open until releaseFolder: files created,
// committed or removed directly in a held folder go through that hold, so a link put
// in its place later is never followed.
int createFolders(const QByteArray &base, const QByteArray &below = QByteArray());
// Lets go of a folder held by createFolders (`base` and `below` joined by a separator).
void releaseFolder(const QByteArray &folder);
// Removes each recorded folder that is empty by now, the deepest first.
void removeEmptyFolders();

// Removes every recorded file and every recorded folder left empty, then ends the
// process with `status`. Once it has begun, no other thread creates or commits a file.
[[noreturn]] void abandonAndExit(int status);

} // namespace tempfiles
} // namespace tk
