#pragma once

#include <QImage>

namespace tk {

// What pixels of a format take, for the estimates of decoding and cutting.

// Bits a pixel of `format` takes; a format the header does not tell counts as 32.
int bitsOf(QImage::Format format);

// What Qt's smooth scaling adds a pixel of `format`, in bits: it takes a few formats as
// they are and first converts any other to one of those (64 bits a pixel for deep ones,
// else 32), a narrow one through a copy of its own on the way.
int resamplingBits(QImage::Format format);

// Bytes a pixel of what smooth scaling or a turn makes of `format`: 8 from a deep one.
qint64 resultBytes(QImage::Format format);

// Bytes per pixel of an image in `format`, at least 4 (what a conversion to 32 bits
// takes); 4 when the format is not known.
int bytesPerPixel(QImage::Format format);

} // namespace tk
