#pragma once

#include <cmath>

namespace tk {

// Window geometry is kept in twips; Qt's logical pixel is the 96-dpi pixel.
constexpr int TwipsPerPixel = 15;

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
