#include "core/largeimage.h"

#include <cstdlib>
#include <limits>
#include <sys/mman.h>

namespace tk {

namespace {

constexpr qint64 HugePage = qint64(2) << 20;

void release(void *pixels)
{
    std::free(pixels);
}

} // namespace

QImage largeImage(QSize size, QImage::Format format)
{
    const qint64 bytesPerLine =
        (qint64(size.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4;
    const qint64 bytes = bytesPerLine * size.height();
    // Below a few huge pages the gain is nothing next to the waste.
#ifdef MADV_HUGEPAGE
    if (bytes >= 2 * HugePage && bytesPerLine <= std::numeric_limits<int>::max()) {
        const qint64 rounded = (bytes + HugePage - 1) / HugePage * HugePage;
        void *pixels = nullptr;
        if (posix_memalign(&pixels, size_t(HugePage), size_t(rounded)) != 0)
            return QImage();
        // Only advice: without huge pages the memory is ordinary memory.
        madvise(pixels, size_t(rounded), MADV_HUGEPAGE);
        return QImage(static_cast<uchar *>(pixels), size.width(), size.height(),
                      qsizetype(bytesPerLine), format, release, pixels);
    }
#endif
    return QImage(size, format);
}

} // namespace tk
