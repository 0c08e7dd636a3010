#include "shell/platform/buildsettings.h"

#include "shell/platform/buildinfo.h"

namespace tk {

namespace {

QString address(const char *variable, const char *builtIn)
{
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable).trimmed();
    return QString::fromUtf8(builtIn).trimmed();
}

} // namespace

QString versionPageAddress()
{
    return address("TESSELKRAFT_VERSION_URL", build::VersionUrl);
}

QString adPageAddress()
{
    return address("TESSELKRAFT_AD_URL", build::AdUrl);
}

} // namespace tk
