#pragma once

#include <QString>
#include <functional>

namespace tk {

// Hands `address` to the desktop's URL opener exactly as written, as its one argument,
// never as a command line. Only absolute http and https addresses with a host are
// handed over (isWebAddress); anything else is skipped. True when the opener took it.
bool openInBrowser(const QString &address);

// Tests stand in for the desktop: a set hook receives each address that passed the
// check, instead of the opener, and answers for it.
using BrowserHook = std::function<bool(const QString &address)>;
void setBrowserHook(BrowserHook hook);

} // namespace tk
