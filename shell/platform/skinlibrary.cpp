#include "skinlibrary.h"

#include "companionfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>

namespace tk {

SkinLibrary::SkinLibrary(const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QString path = skinLibraryPath(folder);
    // A missing file must not send QLibrary looking for other names beside it.
    if (!QFileInfo(path).isFile())
        return;
    m_library.setFileName(QFileInfo(path).absoluteFilePath());
    if (!m_library.load())
        return;
    m_attach = reinterpret_cast<AttachEx>(m_library.resolve("SkinH_AttachEx"));
    m_aero = reinterpret_cast<SetAero>(m_library.resolve("SkinH_SetAero"));
}

void SkinLibrary::SkinH_AttachEx(const QString &skinPath, const QString &second) const
{
    if (isLoaded())
        m_attach(QFile::encodeName(skinPath).constData(), second.toLocal8Bit().constData());
}

void SkinLibrary::SkinH_SetAero(QWidget *window) const
{
    if (isLoaded() && window)
        m_aero(std::int32_t(std::uint32_t(window->winId())));
}

} // namespace tk
