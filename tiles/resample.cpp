#include "tiles/resample.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace tk {

namespace {

constexpr double Lobes = 3;

double lanczos(double x)
{
    if (x == 0)
        return 1;
    if (x <= -Lobes || x >= Lobes)
        return 0;
    const double px = M_PI * x;
    return Lobes * std::sin(px) * std::sin(px / Lobes) / (px * px);
}

uchar clampToByte(int32_t sum)
{
    return uchar(std::clamp(sum >> ResampleAxis::Bits, 0, 255));
}

constexpr int32_t Half = 1 << (ResampleAxis::Bits - 1);

#ifdef __SSE2__
// Two 16-bit weights side by side, for multiplying pairs of samples at once.
__m128i weightPair(int16_t first, int16_t second)
{
    return _mm_set1_epi32(int32_t(uint16_t(first)) | int32_t(uint32_t(uint16_t(second)) << 16));
}

// Four 32-bit sums of fixed point to bytes, saturating at 0 and 255.
__m128i toBytes(__m128i a, __m128i b, __m128i c, __m128i d)
{
    const int bits = ResampleAxis::Bits;
    return _mm_packus_epi16(
        _mm_packs_epi32(_mm_srai_epi32(a, bits), _mm_srai_epi32(b, bits)),
        _mm_packs_epi32(_mm_srai_epi32(c, bits), _mm_srai_epi32(d, bits)));
}
#endif

// `bytes` bytes of each of `taps` rows, weighed into one row. With SSE2, 16 bytes of two
// rows at a time: the samples of both rows interleaved, multiplied by both weights and
// added in one instruction.
void weighRows(const uchar *const *rows, const int16_t *weights, int taps, int bytes, uchar *out)
{
    int x = 0;
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    for (; x + 16 <= bytes; x += 16) {
        __m128i s0 = _mm_set1_epi32(Half), s1 = s0, s2 = s0, s3 = s0;
        for (int k = 0; k < taps; k += 2) {
            const bool pair = k + 1 < taps;
            const __m128i w = weightPair(weights[k], pair ? weights[k + 1] : 0);
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k] + x));
            const __m128i b =
                pair ? _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[k + 1] + x)) : zero;
            const __m128i lo = _mm_unpacklo_epi8(a, b), hi = _mm_unpackhi_epi8(a, b);
            s0 = _mm_add_epi32(s0, _mm_madd_epi16(_mm_unpacklo_epi8(lo, zero), w));
            s1 = _mm_add_epi32(s1, _mm_madd_epi16(_mm_unpackhi_epi8(lo, zero), w));
            s2 = _mm_add_epi32(s2, _mm_madd_epi16(_mm_unpacklo_epi8(hi, zero), w));
            s3 = _mm_add_epi32(s3, _mm_madd_epi16(_mm_unpackhi_epi8(hi, zero), w));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + x), toBytes(s0, s1, s2, s3));
    }
#endif
    for (; x < bytes; ++x) {
        int32_t sum = Half;
        for (int k = 0; k < taps; ++k)
            sum += weights[k] * rows[k][x];
        out[x] = clampToByte(sum);
    }
}

// One output pixel from `taps` pixels of four bytes from `pixel` on. With SSE2, two
// pixels at a time: their channels paired up and weighed in one instruction.
void weighPixels(const uchar *pixel, const int16_t *weights, int taps, uchar *out)
{
#ifdef __SSE2__
    const __m128i zero = _mm_setzero_si128();
    __m128i sum = _mm_set1_epi32(Half);
    int k = 0;
    for (; k + 1 < taps; k += 2) {
        __m128i v = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(pixel + 4 * k));
        v = _mm_unpacklo_epi8(v, zero);
        v = _mm_unpacklo_epi16(v, _mm_unpackhi_epi64(v, v));
        sum = _mm_add_epi32(sum, _mm_madd_epi16(v, weightPair(weights[k], weights[k + 1])));
    }
    if (k < taps) {
        int32_t last;
        std::memcpy(&last, pixel + 4 * k, 4);
        const __m128i v = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(last), zero), zero);
        sum = _mm_add_epi32(sum, _mm_madd_epi16(v, weightPair(weights[k], 0)));
    }
    const int32_t bytes = _mm_cvtsi128_si32(toBytes(sum, sum, sum, sum));
    std::memcpy(out, &bytes, 4);
#else
    int32_t sum[4] = {Half, Half, Half, Half};
    for (int k = 0; k < taps; ++k)
        for (int c = 0; c < 4; ++c)
            sum[c] += weights[k] * pixel[4 * k + c];
    for (int c = 0; c < 4; ++c)
        out[c] = clampToByte(sum[c]);
#endif
}

} // namespace

ResampleAxis::ResampleAxis(int size, double first, double length, int count)
{
    const double scale = length / count;
    const double widen = std::max(scale, 1.0);
    const double support = Lobes * widen;
    m_stride = 2 * int(std::ceil(support)) + 1;
    m_start.resize(size_t(count));
    m_taps.resize(size_t(count));
    m_weights.assign(size_t(count) * size_t(m_stride), 0);
    std::vector<double> w(static_cast<size_t>(m_stride));
    for (int i = 0; i < count; ++i) {
        const double centre = first + (i + 0.5) * scale;
        int lo = std::max(int(std::floor(centre - support + 0.5)), 0);
        int hi = std::min(int(std::floor(centre + support + 0.5)), size);
        hi = std::min(hi, lo + m_stride);
        double total = 0;
        for (int k = lo; k < hi; ++k)
            total += w[size_t(k - lo)] = lanczos((k + 0.5 - centre) / widen);
        if (hi <= lo || total <= 0) {
            // Beyond the picture (a rectangle reaching out of it): its nearest pixel.
            lo = std::clamp(int(std::floor(centre)), 0, size - 1);
            hi = lo + 1;
            w[0] = total = 1;
        }
        // Rounded to fixed point, the largest weight taking what rounding lost, so the
        // weights add up to exactly One and a flat area stays exactly flat.
        int16_t *fixed = m_weights.data() + size_t(i) * size_t(m_stride);
        int sum = 0, largest = 0;
        for (int k = 0; k < hi - lo; ++k) {
            fixed[k] = int16_t(std::lround(w[size_t(k)] / total * One));
            sum += fixed[k];
            if (fixed[k] > fixed[largest])
                largest = k;
        }
        fixed[largest] = int16_t(fixed[largest] + One - sum);
        m_start[size_t(i)] = lo;
        m_taps[size_t(i)] = hi - lo;
    }
    m_spanStart = m_start.front();
    m_spanEnd = m_start.back() + m_taps.back();
    for (int i = 0; i < count; ++i) {
        m_spanStart = std::min(m_spanStart, m_start[size_t(i)]);
        m_spanEnd = std::max(m_spanEnd, m_start[size_t(i)] + m_taps[size_t(i)]);
    }
}

RegionResampler::RegionResampler(QSize picture, const QRectF &source, QSize out)
    : m_columns(picture.width(), source.x(), source.width(), out.width()),
      m_rows(picture.height(), source.y(), source.height(), out.height()),
      m_column(size_t(m_columns.spanEnd() - m_columns.spanStart()) * 4)
{
}

void RegionResampler::renderRow(const PictureRows &picture, int y, uchar *out) const
{
    // Vertical: the rows this output row reads, over the columns any output pixel reads.
    const int taps = m_rows.taps(y);
    const int left = m_columns.spanStart() * 4;
    m_rowStarts.resize(size_t(taps));
    const uchar **rows = m_rowStarts.data();
    for (int k = 0; k < taps; ++k)
        rows[k] = picture.row(m_rows.start(y) + k) + left;
    weighRows(rows, m_rows.weights(y), taps, int(m_column.size()), m_column.data());

    // Horizontal.
    for (int i = 0; i < m_columns.count(); ++i)
        weighPixels(m_column.data() + (m_columns.start(i) - m_columns.spanStart()) * 4,
                    m_columns.weights(i), m_columns.taps(i), out + 4 * i);
    // Premultiplied colour never exceeds its alpha, whatever the kernel's lobes did.
    if (picture.premultiplied) {
        auto *pixels = reinterpret_cast<QRgb *>(out);
        for (int i = 0; i < m_columns.count(); ++i) {
            const int a = qAlpha(pixels[i]);
            pixels[i] = qRgba(std::min(qRed(pixels[i]), a), std::min(qGreen(pixels[i]), a),
                              std::min(qBlue(pixels[i]), a), a);
        }
    }
}

QImage resampleRegion(const QImage &picture, const QRectF &source, QSize out)
{
    const RegionResampler resampler(picture.size(), source, out);
    QImage tile(out, picture.format());
    const PictureRows rows(picture);
    for (int y = 0; y < out.height(); ++y)
        resampler.renderRow(rows, y, tile.scanLine(y));
    return tile;
}

} // namespace tk
