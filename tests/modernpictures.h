#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>

// Pictures in the newer formats, made by the formats' own libraries (libheif with its
// HEVC and AV1 encoders, libwebp, libtiff), and bombs made from them. Never committed.
namespace modern {

// `image` as HEIC (HEVC) or AVIF (AV1), 8 bits a sample; with alpha if it has one.
QByteArray heifBytes(const QImage &image, bool av1);
// The same file with every image size box claiming `width` × `height`.
QByteArray heifClaiming(QByteArray heif, quint32 width, quint32 height);

// `image` as a still WebP: lossy, or lossless (which keeps alpha exactly).
QByteArray webpBytes(const QImage &image, bool lossless);
// An animation of lossless frames, each filling a canvas of the first frame's size, or a
// canvas that claims `canvas` instead.
QByteArray webpAnimation(const QList<QImage> &frames, QSize canvas = QSize());

struct TiffSpec {
    enum class Colour { Rgb, Rgba, Grey, Cmyk };
    TiffSpec(Colour colour = Colour::Rgb, int bits = 8, bool tiled = false, int orientation = 1,
             const QByteArray &iccProfile = QByteArray())
        : colour(colour), bits(bits), tiled(tiled), orientation(orientation), iccProfile(iccProfile)
    {
    }
    Colour colour = Colour::Rgb;
    int bits = 8;
    bool tiled = false;
    int orientation = 1; // as in EXIF: 6 is "turn 90° clockwise to see it upright"
    QByteArray iccProfile;
};
// `image` as a TIFF of the kind `spec` says, LZW-compressed; CMYK by the plain ink formula.
QByteArray tiffBytes(const QImage &image, const TiffSpec &spec);
// A valid TIFF header for a `width` × `height` grey picture with 16 bytes of pixels.
QByteArray tiffBomb(quint32 width, quint32 height);

} // namespace modern
