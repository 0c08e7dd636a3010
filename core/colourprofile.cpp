#include "core/colourprofile.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

namespace tk {

namespace {

// Larger than any real profile (a JPEG holds at most 255 pieces of 64 KiB).
constexpr qint64 LargestProfileBytes = qint64(16) << 20;

struct CurveFreer {
    void operator()(cmsToneCurve *curve) const { cmsFreeToneCurve(curve); }
};
using Curve = std::unique_ptr<cmsToneCurve, CurveFreer>;

double srgbEncoded(double linear)
{
    linear = std::clamp(linear, 0.0, 1.0);
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

Curve srgbCurve()
{
    const cmsFloat64Number params[] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return Curve(cmsBuildParametricToneCurve(nullptr, 4, params));
}

// Compared where it shows: each 8-bit level, decoded by the curve and encoded as sRGB.
bool isSrgbCurve(const cmsToneCurve *curve)
{
    if (!curve)
        return false;
    for (int level = 0; level <= 255; ++level) {
        const double linear = cmsEvalToneCurveFloat(curve, cmsFloat32Number(level / 255.0));
        if (std::abs(srgbEncoded(linear) * 255 - level) > 0.5)
            return false;
    }
    return true;
}

bool near(const cmsCIEXYZ *a, const cmsCIEXYZ &b)
{
    constexpr double Tolerance = 0.002;
    return a && std::abs(a->X - b.X) <= Tolerance && std::abs(a->Y - b.Y) <= Tolerance &&
           std::abs(a->Z - b.Z) <= Tolerance;
}

const cmsTagSignature Colorants[] = {cmsSigRedColorantTag, cmsSigGreenColorantTag,
                                     cmsSigBlueColorantTag};
const cmsTagSignature Curves[] = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};

const std::array<cmsCIEXYZ, 3> &srgbColorants()
{
    static const std::array<cmsCIEXYZ, 3> colorants = [] {
        std::array<cmsCIEXYZ, 3> xyz{};
        const Profile srgb = srgbProfile();
        for (int i = 0; i < 3; ++i)
            xyz[size_t(i)] = *static_cast<const cmsCIEXYZ *>(cmsReadTag(srgb.get(), Colorants[i]));
        return xyz;
    }();
    return colorants;
}

struct Chromaticities {
    cmsCIExyYTRIPLE primaries;
    cmsCIExyY white;
};

constexpr cmsCIExyY D65{0.3127, 0.3290, 1.0};

const Chromaticities Bt709{{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}}, D65};

// Null for BT.709's, which sRGB shares, and for codes not known here.
std::optional<Chromaticities> otherPrimaries(int code)
{
    const auto with = [](double rx, double ry, double gx, double gy, double bx, double by,
                         cmsCIExyY white = D65) {
        return Chromaticities{{{rx, ry, 1.0}, {gx, gy, 1.0}, {bx, by, 1.0}}, white};
    };
    switch (code) {
    case 4: // BT.470 System M
        return with(0.67, 0.33, 0.21, 0.71, 0.14, 0.08, {0.310, 0.316, 1.0});
    case 5: // BT.601 625 lines
        return with(0.64, 0.33, 0.29, 0.60, 0.15, 0.06);
    case 6: // BT.601 525 lines
    case 7: // SMPTE 240M
        return with(0.630, 0.340, 0.310, 0.595, 0.155, 0.070);
    case 8: // generic film
        return with(0.681, 0.319, 0.243, 0.692, 0.145, 0.049, {0.310, 0.316, 1.0});
    case 9: // BT.2020
        return with(0.708, 0.292, 0.170, 0.797, 0.131, 0.046);
    case 11: // DCI-P3
        return with(0.680, 0.320, 0.265, 0.690, 0.150, 0.060, {0.314, 0.351, 1.0});
    case 12: // Display P3
        return with(0.680, 0.320, 0.265, 0.690, 0.150, 0.060);
    case 22: // EBU Tech. 3213
        return with(0.630, 0.340, 0.295, 0.605, 0.155, 0.077);
    default:
        return std::nullopt;
    }
}

double pqLight(double signal)
{
    constexpr double M1 = 2610.0 / 16384, M2 = 2523.0 / 4096 * 128;
    constexpr double C1 = 3424.0 / 4096, C2 = 2413.0 / 4096 * 32, C3 = 2392.0 / 4096 * 32;
    const double p = std::pow(signal, 1 / M2);
    const double nits = 10000 * std::pow(std::max(p - C1, 0.0) / (C2 - C3 * p), 1 / M1);
    return nits / 203;
}

// Scene light through the system gamma of a 1000 cd/m² display, per channel.
double hlgLight(double signal)
{
    constexpr double A = 0.17883277, B = 0.28466892, C = 0.55991073;
    const double scene =
        signal <= 0.5 ? signal * signal / 3 : (std::exp((signal - C) / A) + B) / 12;
    return 1000.0 / 203 * std::pow(scene, 1.2);
}

Curve tabulated(double (*light)(double))
{
    constexpr int Entries = 4096;
    std::array<cmsFloat32Number, Entries> values{};
    for (int i = 0; i < Entries; ++i)
        values[size_t(i)] = cmsFloat32Number(std::min(light(i / double(Entries - 1)), 1.0));
    return Curve(cmsBuildTabulatedToneCurveFloat(nullptr, Entries, values.data()));
}

// Null for the transfers taken as sRGB's.
Curve transferCurve(int code)
{
    switch (code) {
    case 4:
        return Curve(cmsBuildGamma(nullptr, 2.2));
    case 5:
        return Curve(cmsBuildGamma(nullptr, 2.8));
    case 8:
        return Curve(cmsBuildGamma(nullptr, 1.0));
    case 16:
        return tabulated(pqLight);
    case 18:
        return tabulated(hlgLight);
    default:
        return nullptr;
    }
}

Profile rgbProfile(const Chromaticities &c, cmsToneCurve *curve)
{
    cmsToneCurve *curves[] = {curve, curve, curve};
    return Profile(cmsCreateRGBProfile(&c.white, &c.primaries, curves));
}

} // namespace

Profile iccProfile(const QByteArray &icc, cmsColorSpaceSignature colourSpace)
{
    if (icc.isEmpty() || icc.size() > LargestProfileBytes)
        return nullptr;
    Profile profile(cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!profile || cmsGetColorSpace(profile.get()) != colourSpace)
        return nullptr;
    return profile;
}

bool isSrgb(cmsHPROFILE profile)
{
    if (cmsIsCLUT(profile, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT))
        return false;
    if (cmsGetColorSpace(profile) == cmsSigGrayData)
        return isSrgbCurve(
            static_cast<const cmsToneCurve *>(cmsReadTag(profile, cmsSigGrayTRCTag)));
    if (cmsGetColorSpace(profile) != cmsSigRgbData || !cmsIsMatrixShaper(profile))
        return false;
    for (int i = 0; i < 3; ++i) {
        if (!near(static_cast<const cmsCIEXYZ *>(cmsReadTag(profile, Colorants[i])),
                  srgbColorants()[size_t(i)]) ||
            !isSrgbCurve(static_cast<const cmsToneCurve *>(cmsReadTag(profile, Curves[i]))))
            return false;
    }
    return true;
}

Profile codePointProfile(int primaries, int transfer)
{
    const Curve curve = transferCurve(transfer);
    const std::optional<Chromaticities> other = otherPrimaries(primaries);
    if (!curve && !other)
        return nullptr;
    return rgbProfile(other.value_or(Bt709), curve ? curve.get() : srgbCurve().get());
}

Profile rgbOfGrey(cmsHPROFILE grey)
{
    const auto *curve = static_cast<const cmsToneCurve *>(cmsReadTag(grey, cmsSigGrayTRCTag));
    if (!curve || cmsIsCLUT(grey, INTENT_PERCEPTUAL, LCMS_USED_AS_INPUT))
        return nullptr;
    Chromaticities c = Bt709;
    c.white = *cmsD50_xyY();
    return rgbProfile(c, const_cast<cmsToneCurve *>(curve));
}

const QByteArray &defaultCmykIcc()
{
    static const QByteArray icc = [] {
        QFile file(QStringLiteral(TK_CMYK_PROFILE));
        if (!file.open(QIODevice::ReadOnly) || file.size() > LargestProfileBytes)
            return QByteArray();
        return file.readAll();
    }();
    return icc;
}

Profile srgbProfile()
{
    return Profile(cmsCreate_sRGBProfile());
}

Profile srgbGreyProfile()
{
    return Profile(cmsCreateGrayProfile(cmsD50_xyY(), srgbCurve().get()));
}

} // namespace tk
