#pragma once

#include <QImage>

namespace tk {

// How a TIFF stores the samples of a row that we read ourselves: one plane, 8 or 16
// bits a sample, grey, RGB or CMYK inks, each maybe with alpha (the first extra sample).
struct TiffRowFormat {
    enum class Colour { Grey, Rgb, Cmyk };
    Colour colour = Colour::Rgb;
    int bits = 8;
    int samples = 3; // a pixel, extra samples included
    bool alpha = false;
    bool premultiplied = false;
    bool whiteIsZero = false;
    bool inksKept = false; // CMYK handed on as inks

    // The format rows come out in.
    QImage::Format format() const;
    // Converts `width` pixels of `in` into `out`, in format().
    void convert(const uchar *in, uchar *out, int width) const;
};

} // namespace tk
