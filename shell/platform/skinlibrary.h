#pragma once

#include <QLibrary>
#include <QString>
#include <cstdint>

class QWidget;

namespace tk {

// The skinning library, loaded by its full path from the folder it was written to,
// never through the system's library search. A file there that is no loadable library
// leaves the default look: the calls then do nothing.
class SkinLibrary {
public:
    explicit SkinLibrary(const QString &folder);

    bool isLoaded() const { return m_attach && m_aero; }
    QString errorString() const { return m_library.errorString(); }

    // Applies the skin file at `skinPath`; the library's answer is not looked at.
    void SkinH_AttachEx(const QString &skinPath, const QString &second) const;
    // Hands the library the native handle of `window`.
    void SkinH_SetAero(QWidget *window) const;

private:
    using AttachEx = std::int32_t (*)(const char *, const char *);
    using SetAero = std::int32_t (*)(std::int32_t);

    QLibrary m_library;
    AttachEx m_attach = nullptr;
    SetAero m_aero = nullptr;
};

} // namespace tk
