#pragma once

#include "core/picturedecoder.h"

namespace tk {

// The first page of a TIFF, through libtiff. 8- and 16-bit grey, RGB and CMYK (and
// JPEG-compressed YCbCr) are read strip by strip or tile by tile and, for a smaller
// size, reduced by halves as they arrive; any other kind libtiff knows is read whole as
// 8-bit RGBA. Its orientation tag is reported as the turn to apply. Nothing libtiff
// says reaches standard error; any error it reports fails the decode.
class TiffDecoder : public PictureDecoder {
public:
    // Reads the first directory from `device`, which must stay open while the decoder lives.
    explicit TiffDecoder(QIODevice &device);
    ~TiffDecoder() override;
    TiffDecoder(const TiffDecoder &) = delete;
    TiffDecoder &operator=(const TiffDecoder &) = delete;

    QSize size() const override;
    QImageIOHandler::Transformations transformation() const override;
    QImage::Format format() const override;
    ColourDescription colour() const override;
    QList<QSize> decodeSizes() const override;
    qint64 peakBytes(QSize step) const override;
    QImage decode(QSize step) override;
    bool isCmyk() const override;

private:
    QImage decodeRows(QSize step);
    QImage decodeWhole();

    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
