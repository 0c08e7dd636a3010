#pragma once

#include <functional>

namespace tk {

// Whether the machine has a network connection. Where the system can tell (a network
// information backend loads), only a known disconnected state counts as offline;
// everywhere else the answer is online, and the fetch itself decides.
bool InternetGetConnectedState();

// Tests decide the answer; an empty hook asks the system again.
using ConnectivityHook = std::function<bool()>;
void setConnectivityHook(ConnectivityHook hook);

} // namespace tk
