#pragma once

#include "core/colourdescription.h"

#include <QByteArray>
#include <lcms2.h>
#include <memory>

namespace tk {

struct ProfileCloser {
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
// A Little CMS profile that closes itself.
using Profile = std::unique_ptr<void, ProfileCloser>;

// The ICC profile `icc` when Little CMS can read it and its numbers are of
// `colourSpace` (cmsSigRgbData, cmsSigGrayData, cmsSigCmykData); null otherwise.
Profile iccProfile(const QByteArray &icc, cmsColorSpaceSignature colourSpace);

// Whether an RGB or grey profile maps every 8-bit value to within half a level of what
// sRGB makes of it: sRGB's colorants (within 0.002) and sRGB's tone curve, judged by
// the profile's content, whatever its name.
bool isSrgb(cmsHPROFILE profile);

// An RGB profile for coded primaries and transfer (ITU-T H.273); null where they mean
// sRGB. Unknown primaries count as BT.709's, unknown transfers as sRGB's, and so do the
// video transfers of BT.709, BT.601 and BT.2020 (such pictures are nearly always sRGB
// numbers). PQ and HLG are brought down to SDR: their reference white (203 cd/m²) is
// sRGB's white, and brighter light is clipped.
Profile codePointProfile(int primaries, int transfer);

// An RGB profile whose greys are a grey profile's: its tone curve on every channel. Null
// when the grey profile has no plain tone curve.
Profile rgbOfGrey(cmsHPROFILE grey);

// What a CMYK picture without a usable profile of its own is taken to be printed with:
// the CMYK profile that the system's Ghostscript data ships, read once; empty without it.
const QByteArray &defaultCmykIcc();

// The output profiles: sRGB, and grey with sRGB's tone curve.
Profile srgbProfile();
Profile srgbGreyProfile();

} // namespace tk
