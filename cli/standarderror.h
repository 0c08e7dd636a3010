#pragma once

namespace tk {

// Keeps standard error for the cutter's own reports, exactly one line per bad picture:
// returns a private copy of descriptor 2 and points 2 itself at /dev/null, so that no
// library (the PNG library prints its errors there) adds lines of its own. A
// sanitizer's reports go to the copy too. -1 when there was no standard error to
// begin with; descriptor 2 then still leads nowhere, so no file opened later can
// receive what a library prints.
int keepStandardErrorForReports();

} // namespace tk
