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

// Creates the folder `path` with its missing parents, recording each one it made.
int createFolders(const QByteArray &path);
// Removes each recorded folder that is empty by now, the deepest first.
void removeEmptyFolders();

// Removes every recorded file and every recorded folder left empty, then ends the
// process with `status`. Once it has begun, no other thread creates or commits a file.
[[noreturn]] void abandonAndExit(int status);

} // namespace tempfiles
} // namespace tk
