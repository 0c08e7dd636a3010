#pragma once

#include <cmath>

namespace tk {

// Window geometry is kept in twips; Qt's logical pixel is the 96-dpi pixel.
constexpr int TwipsPerPixel = 15;
// A picture box's sunken frame, on each side.
constexpr int FramePixels = 2;
constexpr float FrameTwips = float(FramePixels * TwipsPerPixel);

constexpr float twipsToPixels(float twips)
{
    return twips / TwipsPerPixel;
}

// Whole pixels for widget geometry and bitmap sizes.
inline int twipsToWholePixels(float twips)
{
    return static_cast<int>(std::lround(twips / TwipsPerPixel));
}

} // namespace tk
