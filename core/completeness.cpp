#include "core/completeness.h"

#include <QIODevice>
#include <QtEndian>

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
            return skipSubBlocks(device);
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
