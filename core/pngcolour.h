#pragma once

#include "core/colour.h"
#include "core/colourdescription.h"

class QIODevice;

namespace tk {

// What a PNG's chunks before its pixel data say of its colour: the ICC profile of its
// iCCP chunk (when the chunk's checksum holds and its data inflates), and whether its
// samples are grey. An sRGB chunk, or gamma and chromaticities alone, leave the picture
// as its numbers are. Reads from the start of `device` and puts it back where it was.
struct PngColour {
    ColourDescription colour;
    ColourModel model = ColourModel::Rgb;
};
PngColour pngColour(QIODevice &device);

} // namespace tk
