#include "hostilepictures.h"

#include <QBuffer>
#include <QImageWriter>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <zlib.h>
// jpeglib.h needs size_t and FILE first.
#include <jpeglib.h>

namespace hostile {

namespace {

quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return ~crc;
}

QByteArray bigEndian(quint32 value)
{
    const char bytes[] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

QByteArray littleEndian(quint32 value, int bytes)
{
    QByteArray result;
    for (int i = 0; i < bytes; ++i)
        result += char(value >> (8 * i));
    return result;
}

QByteArray pngChunk(const QByteArray &typeAndData)
{
    return bigEndian(quint32(typeAndData.size() - 4)) + typeAndData + bigEndian(crc32(typeAndData));
}

// Raw deflate of `zeros` zero bytes from a fresh stream, so the result stands on its own.
QByteArray deflatedZeros(int zeros, int flush)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, -15, 9, Z_RLE);
    QByteArray in(zeros, '\0');
    QByteArray out(int(deflateBound(&stream, uLong(zeros))) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(in.data());
    stream.avail_in = uInt(in.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, flush);
    out.resize(out.size() - qsizetype(stream.avail_out));
    deflateEnd(&stream);
    return out;
}

// A zlib stream of `count` zero bytes without compressing them all: one flushed piece,
// compressed once and repeated, then the rest.
QByteArray zlibZeros(qint64 count)
{
    constexpr int Piece = 1 << 20;
    const QByteArray piece = deflatedZeros(Piece, Z_FULL_FLUSH);
    return QByteArray("\x78\xDA", 2) + piece.repeated(qsizetype(count / Piece)) +
           deflatedZeros(int(count % Piece), Z_FINISH) +
           bigEndian(quint32(count % 65521) << 16 | 1); // Adler-32 of zeros
}

// Writes bits the way JPEG entropy data holds them: high bit first, 0xFF stuffed.
class JpegBits {
public:
    void put(quint32 bits, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            m_byte = m_byte << 1 | (bits >> i & 1);
            if (++m_filled == 8)
                flushByte();
        }
    }
    QByteArray finish()
    {
        while (m_filled != 0)
            put(1, 1);
        return std::exchange(m_bytes, QByteArray());
    }

private:
    void flushByte()
    {
        m_bytes += char(m_byte);
        if (m_byte == 0xFF)
            m_bytes += '\0';
        m_byte = 0;
        m_filled = 0;
    }
    QByteArray m_bytes;
    quint32 m_byte = 0;
    int m_filled = 0;
};

QByteArray jpegSegment(uchar marker, const QByteArray &body)
{
    const int length = int(body.size()) + 2;
    const char head[] = {char(0xFF), char(marker), char(length >> 8), char(length)};
    return QByteArray(head, 4) + body;
}

// Start of image, a quantisation table of ones, a progressive frame of side × side with
// `components` (their count, then id, sampling and table of each) and the Huffman
// tables: DC, one code '0' for a difference of nothing; AC, a 4-bit code r for each
// end-of-band run length class r, symbol r << 4.
QByteArray jpegStart(int side, const QByteArray &components)
{
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += jpegSegment(0xDB, QByteArray(1, '\0') + QByteArray(64, '\1'));
    const char size[] = {8, char(side >> 8), char(side), char(side >> 8), char(side)};
    jpeg += jpegSegment(0xC2, QByteArray(size, sizeof size) + components);
    QByteArray dc(17, '\0'), ac(17, '\0');
    dc[1] = 1;
    dc += '\0';
    ac[0] = 0x10;
    ac[4] = 15;
    for (int r = 0; r < 15; ++r)
        ac += char(r << 4);
    return jpeg + jpegSegment(0xC4, dc) + jpegSegment(0xC4, ac);
}

// `count` DC differences of nothing.
QByteArray zeroBits(qint64 count)
{
    JpegBits bits;
    for (qint64 b = 0; b < count; ++b)
        bits.put(0, 1);
    return bits.finish();
}

// An AC scan of `blocks` blocks whose bands are all empty: a few end-of-band runs of at
// most 32767 blocks.
QByteArray emptyBands(int blocks)
{
    JpegBits runs;
    for (int left = blocks; left > 0;) {
        const int run = qMin(left, 32767);
        int r = 0;
        while ((run >> (r + 1)) != 0)
            ++r;
        runs.put(quint32(r), 4);
        runs.put(quint32(run - (1 << r)), r);
        left -= run;
    }
    return runs.finish();
}

} // namespace

QByteArray pngBytes(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return png;
}

QByteArray jpegBytes(const QImage &image, bool progressive, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray claiming(QByteArray jpeg, quint16 width, quint16 height)
{
    for (const char *sof : {"\xFF\xC0", "\xFF\xC2"}) {
        const qsizetype at = jpeg.indexOf(sof);
        if (at < 0)
            continue;
        jpeg[at + 5] = char(height >> 8);
        jpeg[at + 6] = char(height);
        jpeg[at + 7] = char(width >> 8);
        jpeg[at + 8] = char(width);
        break;
    }
    return jpeg;
}

QByteArray withHole(const QByteArray &file)
{
    return file.left(file.size() / 3) + file.right(200);
}

QByteArray pngBomb(const QImage &small)
{
    const QByteArray png = pngBytes(small);
    const QByteArray header = "IHDR" + bigEndian(30000) + bigEndian(30000) + png.mid(24, 5);
    return png.left(12) + header + bigEndian(crc32(header)) + png.mid(33);
}

QByteArray gifBomb()
{
    return QByteArray::fromHex("474946383961ffffffff800000ff00000000ff"
                               "2c000000000200020000020344340500"
                               "3b");
}

QByteArray bmpBomb()
{
    return QByteArray::fromHex("424d000000000000000036000000280000003075000030750000"
                               "01001800000000000000000000000000000000000000000000000000");
}

QByteArray pngWithBadTextChunk(const QImage &image)
{
    const QByteArray png = pngBytes(image);
    const QByteArray text("tEXtComment\0hello", 17);
    return png.left(33) + bigEndian(quint32(text.size() - 4)) + text + bigEndian(1) + png.mid(33);
}

QByteArray blankPng(QSize size, int channels)
{
    const char colourType = channels == 4 ? 6 : channels == 3 ? 2 : 0;
    const QByteArray header = "IHDR" + bigEndian(quint32(size.width())) +
                              bigEndian(quint32(size.height())) +
                              QByteArray::fromRawData("\x08", 1) + colourType + QByteArray(3, '\0');
    // Each row is its filter byte (none) and the samples, all zero.
    const qint64 raw = qint64(size.height()) * (1 + qint64(size.width()) * channels);
    return QByteArray("\x89PNG\r\n\x1A\n", 8) + pngChunk(header) +
           pngChunk("IDAT" + zlibZeros(raw)) + pngChunk("IEND");
}

QByteArray iconHolding(const QByteArray &image)
{
    const QByteArray directory = littleEndian(0, 2) + littleEndian(1, 2) + littleEndian(1, 2);
    const QByteArray entry = QByteArray(4, '\0') + littleEndian(1, 2) + littleEndian(32, 2) +
                             littleEndian(quint32(image.size()), 4) + littleEndian(6 + 16, 4);
    return directory + entry + image;
}

QByteArray jpegWithManyScans(int side, int scans)
{
    const int blocks = ((side + 7) / 8) * ((side + 7) / 8);
    QByteArray jpeg = jpegStart(side, QByteArray("\x01\x01\x11\x00", 4));
    const auto scan = [&](int start, int end, int high, int low, const QByteArray &data) {
        const char header[] = {1, 1, 0, char(start), char(end), char(high << 4 | low)};
        jpeg += jpegSegment(0xDA, QByteArray(header, sizeof header)) + data;
    };
    scan(0, 0, 0, 0, zeroBits(blocks));
    const QByteArray emptyBand = emptyBands(blocks);
    // A consistent progression: each coefficient first at 13 bits down, then refined.
    int made = 1;
    for (int k = 1; k <= 63 && made < scans; ++k)
        for (int low = 13; low >= 0 && made < scans; --low, ++made)
            scan(k, k, low == 13 ? 0 : low + 1, low, emptyBand);
    return jpeg + "\xFF\xD9";
}

QByteArray greyProgressiveJpeg(int side)
{
    // Three components, the colour ones at half resolution, as Qt's writer samples them.
    QByteArray jpeg = jpegStart(side, QByteArray("\x03\x01\x22\x00\x02\x11\x00\x03\x11\x00", 10));
    // The DC of all three interleaved: six blocks to a unit of 16 × 16 pixels.
    const qint64 units = qint64((side + 15) / 16) * ((side + 15) / 16);
    jpeg += jpegSegment(0xDA, QByteArray("\x03\x01\x00\x02\x00\x03\x00\x00\x00\x00", 10)) +
            zeroBits(units * 6);
    // Then each component's bands 1 to 63 in a scan of its own.
    for (int component = 1; component <= 3; ++component) {
        const int across = ((component == 1 ? side : (side + 1) / 2) + 7) / 8;
        const char header[] = {1, char(component), 0, 1, 63, 0};
        jpeg += jpegSegment(0xDA, QByteArray(header, sizeof header)) + emptyBands(across * across);
    }
    return jpeg + "\xFF\xD9";
}

QByteArray gifEndingEarly()
{
    return QByteArray::fromHex("47494638396164006400810000000000ffffffff000000ff00"
                               "2c00000000640064000002064c983061c2a4003b");
}

QByteArray jpegWithSegments(const QByteArray &jpeg, const QList<QPair<uchar, QByteArray>> &segments)
{
    QByteArray inserted;
    for (const auto &[marker, body] : segments)
        inserted += jpegSegment(marker, body);
    return jpeg.left(2) + inserted + jpeg.mid(2);
}

QByteArray pngWithChunks(const QByteArray &png, const QByteArrayList &chunks)
{
    QByteArray inserted;
    for (const QByteArray &chunk : chunks)
        inserted += pngChunk(chunk);
    return png.left(33) + inserted + png.mid(33);
}

QByteArray iccSegment(const QByteArray &icc)
{
    return QByteArray("ICC_PROFILE\0\1\1", 14) + icc;
}

QByteArray iccpChunk(const QByteArray &icc)
{
    return QByteArray("iCCPicc\0\0", 9) + qCompress(icc).mid(4); // without Qt's length
}

QByteArray cmykJpeg(const QList<QColor> &patches, int side, bool adobe, bool ycck,
                    const QByteArray &icc)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char *out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(side * patches.size());
    cinfo.image_height = JDIMENSION(side);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, ycck ? JCS_YCCK : JCS_CMYK);
    cinfo.write_Adobe_marker = adobe;
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    if (!icc.isEmpty())
        jpeg_write_icc_profile(&cinfo, reinterpret_cast<const JOCTET *>(icc.constData()),
                               unsigned(icc.size()));
    QByteArray row;
    for (const QColor &patch : patches) {
        const int inks[] = {patch.cyan(), patch.magenta(), patch.yellow(), patch.black()};
        for (int x = 0; x < side; ++x)
            for (const int ink : inks)
                row += char(adobe ? 255 - ink : ink);
    }
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW line = reinterpret_cast<JSAMPROW>(row.data());
        jpeg_write_scanlines(&cinfo, &line, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    const QByteArray jpeg(reinterpret_cast<const char *>(out), qsizetype(size));
    std::free(out);
    return jpeg;
}

} // namespace hostile
