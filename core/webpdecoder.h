#pragma once

#include "core/picturedecoder.h"

namespace tk {

// A WebP picture, through libwebp: lossy or lossless, with alpha, and of an animation
// the first frame on its canvas. The library scales while it decodes, to any size
// below the full one.
class WebpDecoder : public PictureDecoder {
public:
    // Reads the header from `device`, which must stay open while the decoder lives.
    explicit WebpDecoder(QIODevice &device);
    ~WebpDecoder() override;
    WebpDecoder(const WebpDecoder &) = delete;
    WebpDecoder &operator=(const WebpDecoder &) = delete;

    QSize size() const override;
    QImage::Format format() const override;
    ColourDescription colour() const override;
    QList<QSize> decodeSizes() const override;
    QSize stepFor(QSize wanted) const override;
    qint64 peakBytes(QSize step) const override;
    QImage decode(QSize step) override;

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
