#include "shell/platform/skinlibrary.h"

#include "core/companionfiles.h"
#include "core/language.h"
#include "core/regularfile.h"

#include <QFile>
#include <QFileInfo>
#include <QWidget>
#include <dlfcn.h>

namespace tk {

SkinLibrary::SkinLibrary(const QString &folder)
{
    if (folder.isEmpty())
        return;
    const QByteArray path =
        QFile::encodeName(QFileInfo(skinLibraryPath(folder)).absoluteFilePath());
    // The loader would wait on a pipe under the name, and load a device's contents.
    if (!isRegularFile(path)) {
        m_error = Texts::tr("“%1”不是普通文件").arg(QFile::decodeName(path));
        return;
    }
    // An absolute path is loaded as it is: no search path, no subfolder is looked in.
    m_handle = ::dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        m_error = QString::fromLocal8Bit(::dlerror());
        return;
    }
    m_attach = reinterpret_cast<AttachEx>(::dlsym(m_handle, "SkinH_AttachEx"));
    m_aero = reinterpret_cast<SetAero>(::dlsym(m_handle, "SkinH_SetAero"));
    if (!isLoaded()) {
        m_error = Texts::tr("“%1”不是皮肤库").arg(QFile::decodeName(path));
        m_attach = nullptr;
        m_aero = nullptr;
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
}

SkinLibrary::~SkinLibrary()
{
    if (m_handle)
        ::dlclose(m_handle);
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
