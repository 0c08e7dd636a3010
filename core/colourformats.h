#pragma once

#include <QImage>
#include <lcms2.h>

namespace tk {

// The pixel formats the colour conversion works in, and their Little CMS names.

// QImage's 32-bit pixels as bytes in memory.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr cmsUInt32Number Rgb32 = TYPE_BGRA_8;
constexpr cmsUInt32Number Rgb32Premultiplied = TYPE_BGRA_8_PREMUL;
#else
constexpr cmsUInt32Number Rgb32 = TYPE_ARGB_8;
constexpr cmsUInt32Number Rgb32Premultiplied = TYPE_ARGB_8_PREMUL;
#endif

// More than 8 bits a channel (an unknown format counts as deep).
bool isDeep(QImage::Format format);
bool hasAlpha(QImage::Format format);
// The format an image in `format` is converted in with an RGB profile: itself where the
// conversion takes it as it is, else the 8- or 16-bit RGB format that loses nothing.
QImage::Format workingFormat(QImage::Format format);
// The 8-bit format a working format comes out in.
QImage::Format eightBitFormat(QImage::Format working);
// Little CMS's name for a working format or its 8-bit counterpart.
cmsUInt32Number lcmsFormat(QImage::Format format);

} // namespace tk
