#pragma once

#include <QImage>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <vector>

namespace tk {

// The Lanczos-3 weights of one axis: which source pixels each output pixel mixes, and
// how much of each, in fixed point (ResampleAxis::One is 1).
class ResampleAxis {
public:
    static constexpr int Bits = 14;
    static constexpr int One = 1 << Bits;

    // `count` output pixels spread over [first, first + length) of a line of `size`
    // source pixels (source pixel k covers [k, k + 1)). The kernel is widened by the
    // shrink factor when shrinking; at the line's ends it is cut off and its weights
    // scaled back up to 1, so no edge turns darker or lighter.
    ResampleAxis(int size, double first, double length, int count);

    int count() const { return int(m_start.size()); }
    int start(int i) const { return m_start[size_t(i)]; }
    int taps(int i) const { return m_taps[size_t(i)]; }
    const int16_t *weights(int i) const { return m_weights.data() + size_t(i) * size_t(m_stride); }
    // Source pixels [spanStart, spanEnd) that any output pixel reads.
    int spanStart() const { return m_spanStart; }
    int spanEnd() const { return m_spanEnd; }

private:
    std::vector<int> m_start, m_taps;
    std::vector<int16_t> m_weights;
    int m_stride = 0;
    int m_spanStart = 0, m_spanEnd = 0;
};

// The rows of a 32-bit picture (RGB32 or premultiplied ARGB32), perhaps still being
// decoded: a view, not a copy.
struct PictureRows {
    const uchar *bits = nullptr;
    qsizetype bytesPerLine = 0;
    bool premultiplied = false;

    PictureRows() = default;
    PictureRows(const uchar *bits, qsizetype bytesPerLine, bool premultiplied)
        : bits(bits), bytesPerLine(bytesPerLine), premultiplied(premultiplied)
    {
    }
    explicit PictureRows(const QImage &picture)
        : PictureRows(picture.constBits(), picture.bytesPerLine(),
                      picture.format() == QImage::Format_ARGB32_Premultiplied)
    {
    }
    const uchar *row(int y) const { return bits + qsizetype(y) * bytesPerLine; }
};

// A rectangle of a 32-bit picture (RGB32 or premultiplied ARGB32) resampled onto a tile,
// one output row at a time as the picture's rows arrive. The kernel reads the picture
// around the rectangle too, so a tile cut from inside a picture has no edge of its own.
// Vertical pass first, then horizontal, each rounded to 8 bits.
// Not for two threads at once: it keeps scratch rows.
class RegionResampler {
public:
    // `source` in the picture's pixels, fractions allowed.
    RegionResampler(QSize picture, const QRectF &source, QSize out);

    QSize outSize() const { return QSize(m_columns.count(), m_rows.count()); }
    // The picture's rows [0, rowsNeeded(y)) make output row `y`.
    int rowsNeeded(int y) const { return m_rows.start(y) + m_rows.taps(y); }
    // Writes output row `y` (outSize().width() pixels of the picture's format) to `out`.
    void renderRow(const PictureRows &picture, int y, uchar *out) const;

private:
    ResampleAxis m_columns, m_rows;
    mutable std::vector<uchar> m_column;
    mutable std::vector<const uchar *> m_rowStarts;
};

// The whole tile at once: `source` of a 32-bit `picture` resampled to `out`, in its format.
QImage resampleRegion(const QImage &picture, const QRectF &source, QSize out);

} // namespace tk
