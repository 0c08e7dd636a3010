#pragma once

#include <QString>

namespace tk {

// True for an absolute http or https address with a host, written as one plain address:
// no spaces, control or formatting characters, quotes, angle brackets or backslashes.
// Only such text may reach the browser, so a page can never make it open a file,
// run a script or pass extra arguments.
bool isWebAddress(const QString &text);

} // namespace tk
