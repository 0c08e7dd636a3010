#pragma once

namespace tk {

// Call first in main, before any other thread starts. An interrupt (Ctrl-C), a quit
// (Ctrl-\), a terminate or a hang-up then ends the cutter cleanly from a thread of its
// own: every unfinished temporary file and every folder the run made and left empty is
// removed, tiles already in place stay, and the exit status is 128 + the signal's
// number. A closed pipe on standard output becomes a failed write instead of killing
// the process.
void stopCleanlyOnSignals();

} // namespace tk
