#include "app.h"

#include "companionfiles.h"

#include <QCoreApplication>
#include <QStandardPaths>

namespace tk {

QString App::Path()
{
    return QCoreApplication::applicationDirPath();
}

QString App::DataPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

// The numbers come from the project's version in CMake.
int App::Major()
{
    return TK_VERSION_MAJOR;
}

int App::Minor()
{
    return TK_VERSION_MINOR;
}

int App::Revision()
{
    return TK_VERSION_TWEAK;
}

QString AppFolder()
{
    return folderWithSeparator(App::Path());
}

} // namespace tk
