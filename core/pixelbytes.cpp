#include "core/pixelbytes.h"

namespace tk {

int bitsOf(QImage::Format format)
{
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return 32;
    return QImage::toPixelFormat(format).bitsPerPixel();
}

int resamplingBits(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64_Premultiplied:
        return 0;
    default:
        break;
    }
    const int bits = bitsOf(format);
    const int converted = bits > 32 || format == QImage::Format_Grayscale16 ? 64 : 32;
    return converted + (bits < 32 ? bits : 0);
}

qint64 resultBytes(QImage::Format format)
{
    return bitsOf(format) > 32 || format == QImage::Format_Grayscale16 ? 8 : 4;
}

int bytesPerPixel(QImage::Format format)
{
    if (format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return 4;
    return qMax(4, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

} // namespace tk
