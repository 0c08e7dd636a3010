#pragma once

#include "core/picturedecoder.h"

namespace tk {

// A HEIF or AVIF still picture, through libheif: the primary image, with its rotation,
// mirroring and crop applied while it decodes, its alpha kept. Deep pictures come out
// at 16 bits a sample. The codecs decode at full size only; for a smaller opaque 8-bit
// picture the codec's own YCbCr planes are reduced by halves before they become RGB,
// instead of turning every full-size pixel into RGB first.
class HeifDecoder : public PictureDecoder {
public:
    // Reads the file's structure from `device`, which must stay open while the decoder lives.
    explicit HeifDecoder(QIODevice &device);
    ~HeifDecoder() override;
    HeifDecoder(const HeifDecoder &) = delete;
    HeifDecoder &operator=(const HeifDecoder &) = delete;

    QSize size() const override;
    QImage::Format format() const override;
    ColourDescription colour() const override;
    QList<QSize> decodeSizes() const override;
    qint64 peakBytes(QSize step) const override;
    QImage decode(QSize step) override;

private:
    bool reducible() const;
    QImage decodeReduced(int factor);

    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
