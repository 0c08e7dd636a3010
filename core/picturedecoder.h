#pragma once

#include "core/colourdescription.h"

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>
#include <QList>
#include <QSize>
#include <memory>

class QIODevice;

namespace tk {

// A decoder of one picture format, opened on a device whose header it has read. Every
// one estimates its peak from the header, so nothing is decoded that the budget cannot
// hold, and a cut or damaged file is an error, never a partly blank picture. Failures
// throw tk::Error with the reason alone.
class PictureDecoder {
public:
    virtual ~PictureDecoder() = default;

    // The size as stored, before any turn.
    virtual QSize size() const = 0;
    virtual QImageIOHandler::Transformations transformation() const
    {
        return QImageIOHandler::TransformationNone;
    }
    // What decode() hands back: 8 bits a sample in a 32-bit or grey format, 16 bits in a
    // 64-bit or Grayscale16 one; CMYK as RGB unless inks are kept.
    virtual QImage::Format format() const = 0;
    virtual ColourDescription colour() const { return {}; }

    // Stored sizes the decoder reaches while it decodes, smallest first; the last is the
    // full size.
    virtual QList<QSize> decodeSizes() const { return {size()}; }
    // The size to decode at for a picture of `wanted` (stored orientation): `wanted`
    // itself where the decoder scales to any size, else the smallest decode size that
    // covers it.
    virtual QSize stepFor(QSize wanted) const;
    // The peak bytes of decode(`step`), the result included.
    virtual qint64 peakBytes(QSize step) const = 0;
    // Decodes once, at `step` (one that stepFor() gave).
    virtual QImage decode(QSize step) = 0;

    // CMYK pictures come out as RGB by the plain ink formula, ready to cut. Kept inks
    // come out as they are, C, M, Y, K in the samples R, G, B, A of Format_RGBA8888 (or
    // Format_RGBA64 for 16 bits), 0 meaning no ink, for a step that converts by profile.
    virtual bool isCmyk() const { return false; }
    void keepInks(bool kept) { m_inksKept = kept; }

protected:
    bool m_inksKept = false;
};

// The decoder of our own for the picture on `device` whose first bytes are `magic`
// (HEIF and AVIF, WebP, TIFF), its header read; null for any other format.
std::unique_ptr<PictureDecoder> openPictureDecoder(QIODevice &device, const QByteArray &magic);

// The sizes of a picture of `full` pixels divided by 8, 4, 2 and 1 (rounding up),
// smallest first and each once: what a decoder that reduces by halving reaches.
QList<QSize> halvedSizes(QSize full);
// The divisor of the one of those sizes that `step` is; 1 when it is none of them.
int halvingFor(QSize full, QSize step);

// What a failed read of a cut or damaged file says, the same for every format.
QString truncatedReason();
QString corruptReason();
// What a decode that the memory it was allowed cannot hold says.
QString outOfMemoryReason();

} // namespace tk
