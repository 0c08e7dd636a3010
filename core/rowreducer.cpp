#include "core/rowreducer.h"

namespace tk {

RowReducer::RowReducer(QImage &image, int fullWidth, int factor)
    : m_image(image), m_factor(factor), m_width(fullWidth)
{
    const int bits = image.depth();
    m_wide = bits == 64 || image.format() == QImage::Format_Grayscale16;
    m_components = bits == 8 || bits == 16 ? 1 : 4;
    m_sums.assign(size_t(image.width()) * size_t(m_components), 0);
}

template <typename Sample> void RowReducer::add(const Sample *row)
{
    quint32 *sum = m_sums.data();
    for (int x = 0; x < m_width; x += m_factor, sum += m_components) {
        const int end = qMin(x + m_factor, m_width);
        for (int i = x * m_components; i < end * m_components; i += m_components)
            for (int c = 0; c < m_components; ++c)
                sum[c] += row[i + c];
    }
}

void RowReducer::addRow(const uchar *row)
{
    if (m_outRow >= m_image.height())
        return;
    if (m_wide)
        add(reinterpret_cast<const quint16 *>(row));
    else
        add(row);
    if (++m_rowsIn == m_factor)
        flush();
}

void RowReducer::flush()
{
    if (m_rowsIn == 0 || m_outRow >= m_image.height())
        return;
    uchar *out = m_image.scanLine(m_outRow);
    const int columns = m_image.width();
    const int lastWidth = m_width - (columns - 1) * m_factor; // the right edge's block
    for (int x = 0; x < columns; ++x) {
        const quint32 count = quint32((x == columns - 1 ? lastWidth : m_factor) * m_rowsIn);
        for (int c = 0; c < m_components; ++c) {
            quint32 &sum = m_sums[size_t(x * m_components + c)];
            const quint32 mean = (sum + count / 2) / count;
            if (m_wide)
                reinterpret_cast<quint16 *>(out)[x * m_components + c] = quint16(mean);
            else
                out[x * m_components + c] = uchar(mean);
            sum = 0;
        }
    }
    m_rowsIn = 0;
    ++m_outRow;
}

} // namespace tk
