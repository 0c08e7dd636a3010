#pragma once

#include "core/colourdescription.h"

#include <QImage>
#include <QSize>
#include <memory>

namespace tk {

// What the samples of a decoded picture hold, as its decoder hands them over.
enum class ColourModel {
    Rgb,
    Grey, // in a grey or palette image, or repeated over red, green and blue
    // Inks, one byte each in the order C, M, Y, K, in the four bytes of an RGB32 pixel;
    // Adobe's programs store them inverted (255 is no ink).
    Cmyk,
    AdobeCmyk,
};

// Turns a decoded picture's numbers into sRGB, 8 bits a channel, through Little CMS:
// from its ICC profile, or from its coded primaries and transfer. Pictures whose numbers
// are sRGB already (untagged, or tagged with a profile that is sRGB in content) are
// handed back untouched, byte for byte. A profile that cannot be read or used, or that
// is of another colour model than the picture, is ignored as if absent: the picture is
// shown as its numbers say rather than refused. CMYK without a usable profile of its
// own is taken as printed with the system's default CMYK profile, and without that,
// converted by the plain ink formula.
class ColourConversion {
public:
    ColourConversion(const ColourDescription &colour, ColourModel model);
    ~ColourConversion();
    ColourConversion(const ColourConversion &) = delete;
    ColourConversion &operator=(const ColourConversion &) = delete;

    // False when apply() hands every image back untouched.
    bool converts() const;
    // The pixel format apply() makes of an image in `format`.
    QImage::Format outputFormat(QImage::Format format) const;
    // Bytes apply() takes besides the image it is given: the profiles and the transform's
    // tables, and any new pixels for an image of `format` and `size`.
    qint64 peakBytes(QImage::Format format, QSize size) const;

    // `image` in sRGB: RGB32, ARGB32 or ARGB32_Premultiplied (as it came in, or the
    // 8-bit counterpart of a 16-bit format), 8-bit grey for grey, palettes converted
    // in place. Deep images go from 16 bits straight to 8.
    QImage apply(QImage image) const;

private:
    struct State;
    std::unique_ptr<State> m;
};

} // namespace tk
