#include "hostilepictures.h"

#include <QBuffer>
#include <QImageWriter>

namespace hostile {

namespace {

QByteArray pngBytes(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return png;
}

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

} // namespace

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

} // namespace hostile
