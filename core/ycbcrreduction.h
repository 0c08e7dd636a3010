#pragma once

#include <QImage>
#include <QSize>

namespace tk {

// The planes of an 8-bit YCbCr 4:2:0 picture as a codec hands them over.
struct YCbCr420Planes {
    const uchar *y, *cb, *cr;
    int yStride, cStride;
    QSize size; // of the luma plane
};

// The red and blue weights of an H.273 matrix: false for a matrix that is no such
// weighting of R, G and B (identity, YCgCo, constant luminance ...).
bool lumaWeights(int matrix, double *kr, double *kb);

// `planes` reduced by `factor` (2, 4 or 8), each factor × factor block of luma and the
// chroma under it averaged, then turned into RGB32 by the weights: the same colours a
// full-size conversion gives, at a fraction of the work. The result is the size divided
// by `factor`, rounded up.
QImage reduceYCbCr420(const YCbCr420Planes &planes, int factor, double kr, double kb,
                      bool fullRange);

} // namespace tk
