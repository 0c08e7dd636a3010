#include "shell/platform/app.h"

#include "shell/platform/buildinfo.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace tk {

namespace {

QString &pathOverride()
{
    static QString path;
    return path;
}

} // namespace

QString App::Path()
{
    return pathOverride().isEmpty() ? QCoreApplication::applicationDirPath() : pathOverride();
}

void App::setPath(const QString &folder)
{
    pathOverride() = folder;
}

QString App::DataPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

// The numbers come from the project's version in CMake.
int App::Major()
{
    return build::VersionMajor;
}

int App::Minor()
{
    return build::VersionMinor;
}

int App::Revision()
{
    return build::VersionRevision;
}

} // namespace tk
