#include "core/colourformats.h"

namespace tk {

bool isDeep(QImage::Format format)
{
    switch (format) {
    case QImage::Format_BGR30:
    case QImage::Format_A2BGR30_Premultiplied:
    case QImage::Format_RGB30:
    case QImage::Format_A2RGB30_Premultiplied:
        return true;
    default:
        return format <= QImage::Format_Invalid || format >= QImage::NImageFormats ||
               QImage::toPixelFormat(format).bitsPerPixel() > 32;
    }
}

bool hasAlpha(QImage::Format format)
{
    return QImage::toPixelFormat(format).alphaUsage() == QPixelFormat::UsesAlpha;
}

QImage::Format workingFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return format;
    case QImage::Format_Grayscale16:
        return QImage::Format_RGBX64;
    default:
        if (isDeep(format))
            return hasAlpha(format) ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
        return hasAlpha(format) ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    }
}

QImage::Format eightBitFormat(QImage::Format working)
{
    switch (working) {
    case QImage::Format_RGBX64:
        return QImage::Format_RGB32;
    case QImage::Format_RGBA64:
        return QImage::Format_ARGB32;
    case QImage::Format_RGBA64_Premultiplied:
        return QImage::Format_ARGB32_Premultiplied;
    default:
        return working;
    }
}

cmsUInt32Number lcmsFormat(QImage::Format format)
{
    switch (format) {
    case QImage::Format_ARGB32_Premultiplied:
        return Rgb32Premultiplied;
    case QImage::Format_RGBX64:
    case QImage::Format_RGBA64:
        return TYPE_RGBA_16;
    case QImage::Format_RGBA64_Premultiplied:
        return TYPE_RGBA_16_PREMUL;
    default:
        return Rgb32;
    }
}

} // namespace tk
