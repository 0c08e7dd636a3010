#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QColor>
#include <QImage>
#include <QList>
#include <QPair>

// Pictures made to hurt a decoder: tiny files that claim huge sizes, cut and holed
// files. Shared by the tests and the benchmarks; none is ever committed.
namespace hostile {

QByteArray jpegBytes(const QImage &image, bool progressive, int quality = 90);
// The same JPEG with a frame header that claims another size.
QByteArray claiming(QByteArray jpeg, quint16 width, quint16 height);
// The first third of a file, then its last 200 bytes.
QByteArray withHole(const QByteArray &file);

// A small PNG whose header claims 30000 × 30000, with a valid checksum.
QByteArray pngBomb(const QImage &small);
// A 2 × 2 GIF on a logical screen of 65535 × 65535.
QByteArray gifBomb();
// A BMP header for 30000 × 30000 at 24 bits, without pixels.
QByteArray bmpBomb();
// A PNG with a text chunk whose checksum is wrong: the PNG library warns and reads on.
QByteArray pngWithBadTextChunk(const QImage &image);
// `image` as Qt writes it as a PNG.
QByteArray pngBytes(const QImage &image);
// A whole PNG of `size` whose pixels are all zero bytes (black, or transparent black),
// 8 bits a sample; 4 channels (RGBA), 3 (RGB) or 1 (grey). Small however large.
QByteArray blankPng(QSize size, int channels);
// An icon file whose directory entry says 256 × 256 at 32 bits and holds `image`.
QByteArray iconHolding(const QByteArray &image);
// A grey progressive JPEG of side × side with `scans` scans in all, each but the first a
// few hundred bytes: every scan walks all the picture's blocks again.
QByteArray jpegWithManyScans(int side, int scans);
// A plain grey colour JPEG of side × side, progressive (a scan of the DC, then one for
// each component's bands), made without encoding a picture.
QByteArray greyProgressiveJpeg(int side);
// A 100 × 100 GIF, whole in its structure, whose picture data ends after 10 pixels.
QByteArray gifEndingEarly();

// What cameras and editors put into pictures besides pixels.
// `jpeg` with segments (marker and body) inserted right after its start marker.
QByteArray jpegWithSegments(const QByteArray &jpeg,
                            const QList<QPair<uchar, QByteArray>> &segments);
// `png` with chunks (type, then data) inserted right after its header chunk.
QByteArray pngWithChunks(const QByteArray &png, const QByteArrayList &chunks);
// An ICC profile as the body of one APP2 segment, and as an iCCP chunk.
QByteArray iccSegment(const QByteArray &icc);
QByteArray iccpChunk(const QByteArray &icc);
// A JPEG of CMYK patches (QColor::fromCmyk) side by side, each `side` pixels square:
// YCCK or CMYK, with Adobe's marker and inks stored inverted or plain, with `icc`
// embedded when given.
QByteArray cmykJpeg(const QList<QColor> &patches, int side, bool adobe, bool ycck,
                    const QByteArray &icc = QByteArray());

} // namespace hostile
