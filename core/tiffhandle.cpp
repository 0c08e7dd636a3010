#include "core/tiffhandle.h"

#include "core/error.h"
#include "core/memorybudget.h"
#include "core/picturedecoder.h"
#include "core/tifflibrary.h"

#include <QIODevice>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace tk {

namespace {

QIODevice *deviceOf(thandle_t handle)
{
    return static_cast<QIODevice *>(handle);
}

tmsize_t readProc(thandle_t handle, void *data, tmsize_t size)
{
    return tmsize_t(deviceOf(handle)->read(static_cast<char *>(data), qint64(size)));
}

tmsize_t writeProc(thandle_t, void *, tmsize_t)
{
    return -1;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    QIODevice *device = deviceOf(handle);
    const qint64 base = whence == SEEK_CUR   ? device->pos()
                        : whence == SEEK_END ? device->size()
                                             : 0;
    const qint64 target = base + qint64(offset);
    return target >= 0 && device->seek(target) ? toff_t(target) : toff_t(-1);
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    return toff_t(deviceOf(handle)->size());
}

int mapProc(thandle_t, void **, toff_t *)
{
    return 0;
}

void unmapProc(thandle_t, void *, toff_t) {}

// Where the first directory starts, as the header says.
quint32 firstDirectory(const QByteArray &head)
{
    const auto *b = reinterpret_cast<const uchar *>(head.constData());
    if (head.startsWith("II"))
        return quint32(b[4]) | quint32(b[5]) << 8 | quint32(b[6]) << 16 | quint32(b[7]) << 24;
    return quint32(b[7]) | quint32(b[6]) << 8 | quint32(b[5]) << 16 | quint32(b[4]) << 24;
}

} // namespace

const Tiff &tiff()
{
    static const Tiff functions = [] {
        const QString format = QStringLiteral("TIFF");
        void *library = codecLibrary(TK_LIBTIFF, format);
        Tiff table;
        TK_TIFF_FUNCTIONS(TK_CODEC_RESOLVE)
        return table;
    }();
    return functions;
}

TiffHandle::~TiffHandle()
{
    if (m_tiff)
        tiff().TIFFClose(m_tiff);
}

TIFF *TiffHandle::open(QIODevice &device)
{
    device.seek(0);
    TIFFOpenOptions *options = tiff().TIFFOpenOptionsAlloc();
    tiff().TIFFOpenOptionsSetErrorHandlerExtR(options, onError, this);
    tiff().TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, this);
    tiff().TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(PictureMemoryBudget));
    // "m": no memory mapping, the device is read through the procedures.
    m_tiff = tiff().TIFFClientOpenExt("tiff", "rm", &device, readProc, writeProc, seekProc,
                                      closeProc, sizeProc, mapProc, unmapProc, options);
    tiff().TIFFOpenOptionsFree(options);
    if (!m_tiff) {
        const QByteArray head = device.peek(8);
        const bool cut = head.size() < 8 || firstDirectory(head) >= device.size();
        throw Error(cut ? truncatedReason() : corruptReason());
    }
    return m_tiff;
}

int TiffHandle::onError(TIFF *, void *self, const char *, const char *, va_list)
{
    static_cast<TiffHandle *>(self)->m_failed = true;
    return 1; // handled: nothing reaches standard error
}

// Warnings pass, but for the JPEG codec's inside a TIFF: those tell of lost data (bytes
// between segments excepted), as they do in a JPEG file.
int TiffHandle::onWarning(TIFF *, void *self, const char *module, const char *format, va_list args)
{
    if (module && std::strcmp(module, "JPEGLib") == 0) {
        char text[256];
        std::vsnprintf(text, sizeof text, format, args);
        if (!std::strstr(text, "extraneous bytes"))
            static_cast<TiffHandle *>(self)->m_failed = true;
    }
    return 1;
}

} // namespace tk
