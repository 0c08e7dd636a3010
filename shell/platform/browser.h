#pragma once

#include <QString>

namespace tk {

// Hands `address` to the desktop's URL opener as one address, never as a command line.
// Only absolute http and https addresses with a host are handed over (isWebAddress);
// anything else is skipped. True when the opener took it.
bool openInBrowser(const QString &address);

} // namespace tk
