#pragma once

#include <QImage>
#include <vector>

namespace tk {

// Shrinks a picture by a whole factor while its rows arrive, averaging each factor ×
// factor block (fewer at the right and bottom edges), so no more than one row of sums is
// ever held besides the result. Rows come in the result's own format, at full width.
class RowReducer {
public:
    // `image` is the result, of the full size divided by `factor` and rounded up.
    RowReducer(QImage &image, int fullWidth, int factor);

    void addRow(const uchar *row);
    // Writes the last band, however few rows it had.
    void finish() { flush(); }

private:
    void flush();
    template <typename Sample> void add(const Sample *row);

    QImage &m_image;
    int m_factor;
    int m_components; // samples a pixel
    bool m_wide;      // 16 bits a sample
    int m_width;      // of the full rows
    int m_rowsIn = 0; // of the present band
    int m_outRow = 0;
    std::vector<quint32> m_sums;
};

} // namespace tk
