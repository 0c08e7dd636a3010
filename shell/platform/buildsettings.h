#pragma once

#include <QString>

namespace tk {

// The program's version numbers as the build sets them (major, minor and the fourth
// number, the revision).
struct AppVersion {
    int Major;
    int Minor;
    int Revision;
};
AppVersion appVersion();

// The web pages' addresses: the build's value, unless the environment variable of the
// same name (TESSELKRAFT_VERSION_URL, TESSELKRAFT_AD_URL) is set, even to nothing.
// An empty address means no request at all.
QString versionPageAddress();
QString adPageAddress();

} // namespace tk
