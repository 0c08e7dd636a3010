#include "core/ycbcrreduction.h"

#include <algorithm>
#include <vector>

namespace tk {

bool lumaWeights(int matrix, double *kr, double *kb)
{
    switch (matrix) {
    case 1: // BT.709
        *kr = 0.2126;
        *kb = 0.0722;
        return true;
    case 2: // unspecified: read as BT.601, as the codecs do
    case 5:
    case 6:
        *kr = 0.299;
        *kb = 0.114;
        return true;
    case 7: // SMPTE 240M
        *kr = 0.212;
        *kb = 0.087;
        return true;
    case 9: // BT.2020, non-constant luminance
        *kr = 0.2627;
        *kb = 0.0593;
        return true;
    default:
        return false;
    }
}

namespace {

// Sums of each run of `factor` samples of a row (fewer at its end) into `sums`.
void addRow(const uchar *row, int width, int factor, quint32 *sums)
{
    for (int x = 0, out = 0; x < width; x += factor, ++out) {
        const int end = std::min(x + factor, width);
        quint32 sum = 0;
        for (int i = x; i < end; ++i)
            sum += row[i];
        sums[out] += sum;
    }
}

uchar clampByte(double v)
{
    return uchar(std::clamp(int(v + 0.5), 0, 255));
}

} // namespace

QImage reduceYCbCr420(const YCbCr420Planes &planes, int factor, double kr, double kb,
                      bool fullRange)
{
    const int width = planes.size.width(), height = planes.size.height();
    const int chromaWidth = (width + 1) / 2, chromaHeight = (height + 1) / 2;
    const int chromaFactor = factor / 2;
    QImage image((width + factor - 1) / factor, (height + factor - 1) / factor,
                 QImage::Format_RGB32);
    if (image.isNull())
        return image;
    const double kg = 1.0 - kr - kb;
    // Full or studio range to full: luma 16..235 and chroma 16..240 in studio range.
    const double yScale = fullRange ? 1.0 : 255.0 / 219.0, yOffset = fullRange ? 0.0 : 16.0;
    const double cScale = fullRange ? 1.0 : 255.0 / 224.0;
    std::vector<quint32> ySums(size_t(image.width())), cbSums(ySums.size()), crSums(ySums.size());
    for (int oy = 0; oy < image.height(); ++oy) {
        std::fill(ySums.begin(), ySums.end(), 0);
        std::fill(cbSums.begin(), cbSums.end(), 0);
        std::fill(crSums.begin(), crSums.end(), 0);
        const int top = oy * factor, bottom = std::min(top + factor, height);
        for (int y = top; y < bottom; ++y)
            addRow(planes.y + qsizetype(y) * planes.yStride, width, factor, ySums.data());
        const int cTop = top / 2,
                  cBottom = std::min(std::max(cTop + 1, (bottom + 1) / 2), chromaHeight);
        for (int y = cTop; y < cBottom; ++y) {
            addRow(planes.cb + qsizetype(y) * planes.cStride, chromaWidth, chromaFactor,
                   cbSums.data());
            addRow(planes.cr + qsizetype(y) * planes.cStride, chromaWidth, chromaFactor,
                   crSums.data());
        }
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(oy));
        for (int ox = 0; ox < image.width(); ++ox) {
            const int left = ox * factor, right = std::min(left + factor, width);
            const int cLeft = left / 2,
                      cRight = std::min(std::max(cLeft + 1, (right + 1) / 2), chromaWidth);
            const double luma =
                (double(ySums[size_t(ox)]) / ((right - left) * (bottom - top)) - yOffset) * yScale;
            const double chromaCount = double(cRight - cLeft) * (cBottom - cTop);
            const double cb = (cbSums[size_t(ox)] / chromaCount - 128.0) * cScale;
            const double cr = (crSums[size_t(ox)] / chromaCount - 128.0) * cScale;
            const double r = luma + 2 * (1 - kr) * cr;
            const double b = luma + 2 * (1 - kb) * cb;
            const double g = luma - (2 * kr * (1 - kr) * cr + 2 * kb * (1 - kb) * cb) / kg;
            out[ox] = qRgb(clampByte(r), clampByte(g), clampByte(b));
        }
    }
    return image;
}

} // namespace tk
