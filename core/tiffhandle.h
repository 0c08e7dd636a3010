#pragma once

#include <tiffio.h>

class QIODevice;

namespace tk {

// A libtiff handle reading from a device, never mapping it, that keeps whatever libtiff
// says to itself: nothing reaches standard error. An error libtiff reports, or a warning
// of the JPEG codec inside a TIFF about lost data, marks the handle failed.
class TiffHandle {
public:
    TiffHandle() = default;
    ~TiffHandle();
    TiffHandle(const TiffHandle &) = delete;
    TiffHandle &operator=(const TiffHandle &) = delete;

    // Opens the first directory of the TIFF on `device`, which must stay open while the
    // handle lives; throws tk::Error ("文件不完整" when the directory lies past the end).
    TIFF *open(QIODevice &device);
    bool failed() const { return m_failed; }

private:
    static int onError(TIFF *, void *self, const char *module, const char *format, va_list args);
    static int onWarning(TIFF *, void *self, const char *module, const char *format, va_list args);

    TIFF *m_tiff = nullptr;
    bool m_failed = false;
};

} // namespace tk
