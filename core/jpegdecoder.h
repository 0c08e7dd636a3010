#pragma once

#include "core/colour.h"
#include "core/colourdescription.h"

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <memory>

class QIODevice;

namespace tk {

// A JPEG read with the JPEG library's own interface, where its memory, its warnings
// and the work of its scans are ours to control. Any warning that means lost picture
// data (a cut or damaged file) fails the decode; harmless ones are ignored. Failures
// throw tk::Error with the reason alone.
class JpegDecoder {
public:
    // Reads the header from `device`, which must stay open while the decoder lives.
    explicit JpegDecoder(QIODevice &device);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder &) = delete;
    JpegDecoder &operator=(const JpegDecoder &) = delete;

    // The size as stored, before any turn.
    QSize size() const;
    QImageIOHandler::Transformations transformation() const;

    // The library scales by eighths while it decodes: the size at `eighths`/8 (1 to 8),
    // and the peak bytes that decode takes, the result included.
    QSize scaledSize(int eighths) const;
    qint64 peakBytes(int eighths) const;

    // What the decoded numbers mean: the picture's ICC profile and whether it is grey.
    // CMYK and YCCK pictures come out of decode() in sRGB already, and say nothing here.
    ColourDescription colour() const;
    ColourModel model() const;

    // Decodes once, at `eighths`/8, into an RGB32 image.
    QImage decode(int eighths);

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
