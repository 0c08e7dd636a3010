#include "core/completeness.h"

#include <QIODevice>
#include <QtEndian>
#include <array>

namespace tk {

namespace {

// Skips GIF sub-blocks up to and including their terminator; false at the file's end.
bool skipSubBlocks(QIODevice &device)
{
    for (;;) {
        char length = 0;
        if (!device.getChar(&length))
            return false;
        if (length == 0)
            return true;
        if (!device.seek(device.pos() + uchar(length)) || device.pos() > device.size())
            return false;
    }
}

qint64 colourTableBytes(uchar packed)
{
    return packed & 0x80 ? 3 * (qint64(2) << (packed & 0x07)) : 0;
}

// The codes of GIF image data: its sub-blocks as one stream of bits, low bit first.
class Codes {
public:
    explicit Codes(QIODevice &device) : m_device(device) {}

    // The next code of `size` bits; -1 where the data ends, at its terminator or the
    // file's end.
    int next(int size)
    {
        while (m_count < size) {
            if (m_at == m_block.size() && !nextBlock())
                return -1;
            m_bits |= quint32(uchar(m_block[m_at++])) << m_count;
            m_count += 8;
        }
        const int code = int(m_bits & ((1u << size) - 1));
        m_bits >>= size;
        m_count -= size;
        return code;
    }
    // Skips the rest of the data; false when the file ends before its terminator.
    bool finish() { return skipSubBlocks(m_device); }

private:
    bool nextBlock()
    {
        char length = 0;
        if (!m_device.getChar(&length) || length == 0)
            return false;
        m_block = m_device.read(uchar(length));
        m_at = 0;
        return !m_block.isEmpty();
    }

    QIODevice &m_device;
    QByteArray m_block;
    qsizetype m_at = 0;
    quint32 m_bits = 0;
    int m_count = 0;
};

// Whether the LZW data delivers `wanted` pixels: the length of each code's string is
// counted, not the string, so hostile data costs no more than its codes. Codes are
// read the way Qt's reader reads them, damaged ones included.
bool deliversPixels(QIODevice &device, int minimumCodeSize, qint64 wanted)
{
    if (minimumCodeSize < 1 || minimumCodeSize > 8)
        return false;
    constexpr int TableSize = 4096;
    const int clear = 1 << minimumCodeSize, end = clear + 1;
    std::array<quint32, TableSize> lengths;
    lengths.fill(1);
    int next = clear + 2, size = minimumCodeSize + 1, previous = -1;
    Codes codes(device);
    for (qint64 delivered = 0; delivered < wanted;) {
        const int code = codes.next(size);
        if (code < 0 || code == end)
            return false; // the data stops before the frame is filled
        if (code == clear) {
            next = clear + 2;
            size = minimumCodeSize + 1;
            previous = -1;
            continue;
        }
        // A code not in the table yet stands for the previous string and one pixel more
        // (only the next code can be that in sound data).
        quint32 length = 1;
        if (code >= clear && code < next)
            length = lengths[code];
        else if (code >= clear && previous >= 0)
            length = lengths[previous] + 1;
        if (previous >= 0 && next < TableSize) {
            lengths[next++] = lengths[previous] + 1;
            if (next == 1 << size && size < 12)
                ++size;
        }
        delivered += length;
        previous = code;
    }
    return codes.finish();
}

} // namespace

bool gifIsComplete(QIODevice &device)
{
    if (!device.seek(0))
        return false;
    const QByteArray header = device.read(13);
    if (header.size() < 13)
        return false;
    if (!device.seek(13 + colourTableBytes(uchar(header[10]))))
        return false;
    for (;;) {
        char introducer = 0;
        if (!device.getChar(&introducer))
            return false;
        if (introducer == 0x21) { // extension: label, then sub-blocks
            char label = 0;
            if (!device.getChar(&label) || !skipSubBlocks(device))
                return false;
        } else if (introducer == 0x2C) { // the first image: descriptor, table, data
            const QByteArray descriptor = device.read(9);
            if (descriptor.size() < 9)
                return false;
            char codeSize = 0;
            if (!device.seek(device.pos() + colourTableBytes(uchar(descriptor[8]))) ||
                !device.getChar(&codeSize))
                return false;
            const auto *bytes = reinterpret_cast<const uchar *>(descriptor.constData());
            const qint64 pixels = qint64(qFromLittleEndian<quint16>(bytes + 4)) *
                                  qFromLittleEndian<quint16>(bytes + 6);
            // Qt's reader fills what the data does not reach with the background.
            return pixels == 0 ? skipSubBlocks(device)
                               : deliversPixels(device, uchar(codeSize), pixels);
        } else {
            return true; // the trailer or junk: the decoder judges that
        }
    }
}

bool bmpIsComplete(QIODevice &device)
{
    if (!device.seek(0))
        return false;
    const QByteArray header = device.read(34);
    if (header.size() < 26)
        return false;
    const auto *bytes = reinterpret_cast<const uchar *>(header.constData());
    const qint64 offset = qFromLittleEndian<quint32>(bytes + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(bytes + 14);
    qint64 width, height;
    int bitCount;
    quint32 compression = 0;
    if (infoSize == 12) {
        width = qFromLittleEndian<quint16>(bytes + 18);
        height = qFromLittleEndian<quint16>(bytes + 20);
        bitCount = qFromLittleEndian<quint16>(bytes + 24);
    } else {
        if (header.size() < 34)
            return false;
        width = qFromLittleEndian<qint32>(bytes + 18);
        height = qAbs(qint64(qFromLittleEndian<qint32>(bytes + 22)));
        bitCount = qFromLittleEndian<quint16>(bytes + 28);
        compression = qFromLittleEndian<quint32>(bytes + 30);
    }
    // Run-length coded rows have no fixed size; the decoder judges those.
    constexpr quint32 Rgb = 0, Bitfields = 3, AlphaBitfields = 6;
    if (compression != Rgb && compression != Bitfields && compression != AlphaBitfields)
        return true;
    if (width <= 0 || bitCount <= 0 || bitCount > 64)
        return true;
    const qint64 stride = (width * bitCount + 31) / 32 * 4;
    return offset + stride * height <= device.size();
}

} // namespace tk
