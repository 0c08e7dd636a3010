#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tk {

// The skinning library, loaded from exactly one file: the one in the folder it was
// written to, by its full path, and only when that is a regular file. No search, no
// other name or folder is tried. A file there that is no loadable library leaves the
// default look: the calls then do nothing. Unloaded with the object.
class SkinLibrary {
public:
    explicit SkinLibrary(const QString &folder);
    ~SkinLibrary();
    SkinLibrary(const SkinLibrary &) = delete;
    SkinLibrary &operator=(const SkinLibrary &) = delete;

    bool isLoaded() const { return m_attach && m_aero; }
    QString errorString() const { return m_error; }

    // Applies the skin file at `skinPath`; the library's answer is not looked at.
    void SkinH_AttachEx(const QString &skinPath, const QString &second) const;
    // Hands the library the native handle of `window`.
    void SkinH_SetAero(QWidget *window) const;

private:
    using AttachEx = std::int32_t (*)(const char *, const char *);
    using SetAero = std::int32_t (*)(std::int32_t);

    void *m_handle = nullptr;
    QString m_error;
    AttachEx m_attach = nullptr;
    SetAero m_aero = nullptr;
};

} // namespace tk
