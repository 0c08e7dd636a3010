#pragma once

#include "core/colour.h"
#include "core/colourdescription.h"

#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <functional>
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

    // Hears, on the decoding thread, that the first `rows` rows of `image` are final. It
    // may keep a copy of the image to read them while the rest is decoded, never write.
    using RowsDone = std::function<void(const QImage &image, int rows)>;

    // Decodes once, at `eighths`/8, into an RGB32 image; `rowsDone`, where given, hears
    // of the rows as they are decoded (for a picture that needs converting after the
    // decode, of all of them at the end).
    QImage decode(int eighths, const RowsDone &rowsDone = {});

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
