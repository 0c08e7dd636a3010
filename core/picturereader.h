#pragma once

#include "core/colourdescription.h"
#include "core/pixelbytes.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <memory>

class QIODevice;
class QImageReader;

namespace tk {

class JpegDecoder;
class PictureDecoder;

// A picture file opened for decoding: only a regular file (or a link to one) is
// read, its header at once, its pixels on read(). JPEG goes through the JPEG
// library's own interface, HEIF and AVIF, WebP and TIFF through decoders of their own
// (core/picturedecoder.h), everything else through Qt's readers. No decode is
// started that would take more than the picture budget. Failures throw tk::Error
// naming the file and the cause.
class PictureReader {
public:
    explicit PictureReader(const QString &path);
    // For a name whose bytes are not valid text: opened by its bytes, shown as `shownName`.
    PictureReader(const QByteArray &nativePath, const QString &shownName);
    // A picture already in memory.
    static std::unique_ptr<PictureReader> fromBytes(const QByteArray &bytes,
                                                    const QString &shownName);
    ~PictureReader();

    // The upright size (EXIF turns applied).
    QSize size() const;
    // Upright sizes the decoder reaches without resampling, smallest first; the last is
    // the full size.
    QList<QSize> decodeSizes() const;
    // The peak bytes of read(`decodeSize`), the result included.
    qint64 peakBytes(QSize decodeSize = QSize()) const;
    // Decodes once, upright, at exactly `decodeSize` (ignoring the aspect ratio) or at
    // full size. Decoding starts at the nearest decode size above and resamples from it.
    QImage read(QSize decodeSize = QSize());

    // The pixel format read() hands back, where the header tells it.
    QImage::Format format() const;
    // What the numbers of the picture mean, where the format says: known once the header
    // is read, or for some files only after read(). Empty for JPEG and Qt's formats.
    ColourDescription colour() const;
    // A CMYK picture (TIFF) is read as RGB by the plain ink formula unless its inks are
    // kept: then read() hands them on as PictureDecoder::keepInks() describes. Call
    // before read().
    bool isCmyk() const;
    void keepInks(bool kept);
    const QString &shownName() const { return m_shownName; }

private:
    explicit PictureReader(const QString &shownName, std::unique_ptr<QIODevice> device);
    void readHeader();
    [[noreturn]] void fail(const QString &reason) const;
    void readGifHeader(const QByteArray &magic);
    void readIconHeader();
    QSize storedDecodeSize(QSize upright) const;
    QSize stepFor(QSize storedSize) const;
    int eighthsFor(QSize step) const;
    qint64 decodeBytes(QSize step, bool resampled) const;

    QString m_shownName;
    std::unique_ptr<QIODevice> m_device;
    std::unique_ptr<JpegDecoder> m_jpeg;
    std::unique_ptr<PictureDecoder> m_decoder;
    std::unique_ptr<QImageReader> m_qt;
    QSize m_storedSize;
    bool m_quarterTurn = false;
    bool m_turned = false;
    // What Qt's reader hands back, where its header tells, and what it holds besides.
    QImage::Format m_qtFormat = QImage::Format_Invalid;
    qint64 m_qtHeldBytes = 0;
};

// Lets Qt's image readers allocate what the picture budget allows: their own limit is
// lower, and the budget is checked before any decode. The limit is Qt's, one for the
// whole process, so a program that reads pictures sets it once at start, before any
// picture is read, rather than a reader changing it behind the program's back.
void setUpPictureReading();

} // namespace tk
