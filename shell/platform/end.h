#pragma once

#include <functional>

namespace tk {

// Ends the program at once: every window goes without a close event, so no window's
// closing steps run, and no further event handler runs (guarded() skips them all).
// The caller returns straight after.
void End();
bool hasEnded();

// Tests keep the process: the hook runs instead of the exit, after the windows have
// gone. Setting a hook also forgets an earlier End().
using EndHook = std::function<void()>;
void setEndHook(EndHook hook);

} // namespace tk
