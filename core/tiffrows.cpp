#include "core/tiffrows.h"

#include <QRgba64>

namespace tk {

namespace {

// The plain ink formula: each colour is what its ink and the black leave of white.
template <typename Sample> Sample lightLeft(quint32 ink, quint32 black, quint32 full)
{
    return Sample((full - ink) * (full - black) / full);
}

template <typename Sample>
void convertSamples(const TiffRowFormat &f, const Sample *in, Sample *out, int width)
{
    constexpr quint32 Full = sizeof(Sample) == 1 ? 0xFF : 0xFFFF;
    const int n = f.samples;
    for (int x = 0; x < width; ++x, in += n, out += 4) {
        switch (f.colour) {
        case TiffRowFormat::Colour::Grey: {
            const Sample grey = f.whiteIsZero ? Sample(Full - in[0]) : in[0];
            if (!f.alpha) {
                out[0] = grey; // one sample a pixel
                out -= 3;
                continue;
            }
            out[0] = out[1] = out[2] = grey;
            out[3] = in[1];
            break;
        }
        case TiffRowFormat::Colour::Rgb:
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = f.alpha ? in[3] : Sample(Full);
            break;
        case TiffRowFormat::Colour::Cmyk:
            if (f.inksKept) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = in[3];
            } else {
                out[0] = lightLeft<Sample>(in[0], in[3], Full);
                out[1] = lightLeft<Sample>(in[1], in[3], Full);
                out[2] = lightLeft<Sample>(in[2], in[3], Full);
                out[3] = Sample(Full);
            }
            break;
        }
    }
}

} // namespace

QImage::Format TiffRowFormat::format() const
{
    const bool wide = bits == 16;
    if (colour == Colour::Grey && !alpha)
        return wide ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8;
    if (!alpha)
        return wide ? (colour == Colour::Cmyk && inksKept ? QImage::Format_RGBA64
                                                          : QImage::Format_RGBX64)
                    : (colour == Colour::Cmyk && inksKept ? QImage::Format_RGBA8888
                                                          : QImage::Format_RGBX8888);
    if (wide)
        return premultiplied ? QImage::Format_RGBA64_Premultiplied : QImage::Format_RGBA64;
    return premultiplied ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888;
}

void TiffRowFormat::convert(const uchar *in, uchar *out, int width) const
{
    if (bits == 16)
        convertSamples(*this, reinterpret_cast<const quint16 *>(in),
                       reinterpret_cast<quint16 *>(out), width);
    else
        convertSamples(*this, in, out, width);
}

} // namespace tk
