#pragma once

#include <QByteArray>

namespace tk {

// What a decoded picture's numbers mean: the ICC profile it carries, or the coded
// colour description (ITU-T H.273 code points) that HEIF and AVIF may carry instead.
// Empty: the numbers are taken as sRGB.
struct ColourDescription {
    QByteArray iccProfile;
    bool hasCodePoints = false;
    int primaries = 2; // 2: unspecified
    int transfer = 2;
    int matrix = 2;
    bool fullRange = true;

    bool isEmpty() const { return iccProfile.isEmpty() && !hasCodePoints; }
};

} // namespace tk
