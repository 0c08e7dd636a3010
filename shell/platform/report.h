#pragma once

#include <QString>
#include <functional>

namespace tk {

// Runs one event handler. An exception that escapes it never crosses Qt's event loop:
// it reaches the one report of unhandled errors, which shows it and ends the program.
// Once the program has ended (End()), no handler runs any more.
void guarded(const std::function<void()> &handler);

// Tests replace the ending of the program; the hook gets the message shown.
using UnhandledHook = std::function<void(const QString &message)>;
void setUnhandledHook(UnhandledHook hook);

} // namespace tk
