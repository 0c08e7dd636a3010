#pragma once

#include <QString>

namespace tk {

// The web pages' addresses: the build's value, unless the environment variable of the
// same name (TESSELKRAFT_VERSION_URL, TESSELKRAFT_AD_URL) is set, even to nothing.
// An empty address means no request at all.
QString versionPageAddress();
QString adPageAddress();

} // namespace tk
