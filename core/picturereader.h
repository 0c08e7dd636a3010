#pragma once

#include "core/colour.h"
#include "core/colourdescription.h"
#include "core/pixelbytes.h"

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QList>
#include <QSize>
#include <QString>
#include <functional>
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
    // full size, in sRGB. Decoding starts at the nearest decode size above and resamples
    // from it; the colours are converted after that, on the fewest pixels.
    QImage read(QSize decodeSize = QSize());
    // The picture at each of `decodeSizes`, each exactly what read() gives for it alone,
    // decoded once for all the sizes that start from the same decode size.
    QList<QImage> read(const QList<QSize> &decodeSizes);
    // The peak bytes of that read, the results included.
    qint64 peakBytes(const QList<QSize> &decodeSizes) const;

    // Hears, on the decoding thread, that the first `rows` rows of `image` are final. It
    // may keep a copy of the image to read them while the rest is decoded, never write.
    using RowsDone = std::function<void(const QImage &image, int rows)>;
    // Decodes once at `decodeSize` as read() does, but hands the picture back as stored,
    // for transformation() to turn upright. Where the JPEG decoder reaches that size
    // without resampling or converting colours, `rowsDone` hears of the rows as they are
    // decoded; else of none, and the picture is whole when this returns.
    QImage readStored(QSize decodeSize, const RowsDone &rowsDone);
    // The turn that makes the stored picture upright.
    QImageIOHandler::Transformations transformation() const;

    // The pixel format read() hands back, where the header tells it.
    QImage::Format format() const;
    // What the decoded numbers mean, as the header tells (read() turns them into sRGB).
    ColourDescription colour() const { return m_colour; }
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
    QSize decodeFor(QSize storedSize) const;
    qint64 sizePeak(QSize stored) const;
    QList<QList<qsizetype>> decodeGroups(const QList<QSize> &decodeSizes) const;
    QImage decodeStep(QSize step, const RowsDone &rowsDone = {});
    QImage finish(const QImage &decoded, QSize stored) const;
    void reopen();
    void openDecoder(const QByteArray &magic);
    void prepareColour(const ColourDescription &colour, ColourModel model);
    QImage::Format decodedFormat() const;

    QString m_shownName;
    std::unique_ptr<QIODevice> m_device;
    std::unique_ptr<JpegDecoder> m_jpeg;
    std::unique_ptr<PictureDecoder> m_decoder;
    // The decoder hands over a CMYK picture's inks, which this turns into sRGB.
    bool m_inks = false;
    std::unique_ptr<ColourConversion> m_inkConversion;
    std::unique_ptr<QImageReader> m_qt;
    // Qt's reader scales to the size asked for itself (else it decodes whole and we
    // resample).
    bool m_qtScales = false;
    QImageIOHandler::Transformations m_qtTransformation = QImageIOHandler::TransformationNone;
    // A decode has used up the decoder; another needs the file read again.
    bool m_decoded = false;
    QSize m_storedSize;
    bool m_quarterTurn = false;
    bool m_turned = false;
    // What Qt's reader hands back, where its header tells, and what it holds besides.
    QImage::Format m_qtFormat = QImage::Format_Invalid;
    qint64 m_qtHeldBytes = 0;
    ColourDescription m_colour;
    std::unique_ptr<ColourConversion> m_conversion;
};

// Lets Qt's image readers allocate what the picture budget allows: their own limit is
// lower, and the budget is checked before any decode. The limit is Qt's, one for the
// whole process, so a program that reads pictures sets it once at start, before any
// picture is read, rather than a reader changing it behind the program's back.
void setUpPictureReading();

} // namespace tk
