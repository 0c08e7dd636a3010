#include "core/pngcolour.h"

#include <QIODevice>
#include <zlib.h>

namespace tk {

namespace {

// Above any real profile; the profile is ignored rather than inflated further.
constexpr qint64 LargestProfileBytes = qint64(16) << 20;

quint32 bigEndian(const QByteArray &bytes, int at)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData()) + at;
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | b[3];
}

// The zlib stream in `data`, or nothing when it is broken or inflates past the limit.
QByteArray inflated(const QByteArray &data)
{
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return QByteArray();
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    QByteArray out;
    int status = Z_OK;
    while (status == Z_OK && out.size() < LargestProfileBytes) {
        const qsizetype done = out.size();
        out.resize(done + (64 << 10));
        stream.next_out = reinterpret_cast<Bytef *>(out.data() + done);
        stream.avail_out = 64 << 10;
        status = inflate(&stream, Z_NO_FLUSH);
        out.resize(out.size() - qsizetype(stream.avail_out));
    }
    inflateEnd(&stream);
    return status == Z_STREAM_END ? out : QByteArray();
}

// An iCCP chunk's data: a name of 1 to 79 bytes, a zero, compression method 0, the
// compressed profile.
QByteArray profileOf(const QByteArray &data)
{
    const qsizetype end = data.indexOf('\0');
    if (end < 1 || end > 79 || end + 2 > data.size() || data[end + 1] != '\0')
        return QByteArray();
    return inflated(data.mid(end + 2));
}

} // namespace

PngColour pngColour(QIODevice &device)
{
    PngColour found;
    const qint64 start = device.pos();
    qint64 at = 8; // after the signature
    while (device.seek(at)) {
        const QByteArray head = device.read(8);
        if (head.size() != 8)
            break;
        const quint32 length = bigEndian(head, 0);
        const QByteArray type = head.mid(4);
        if (length > 0x7FFFFFFFu || type == "IDAT" || type == "IEND")
            break;
        if (type == "IHDR" && length >= 13) {
            const QByteArray data = device.read(13);
            // Colour types 0 and 4: grey, without and with alpha.
            if (data.size() == 13)
                found.model = data[9] == 0 || data[9] == 4 ? ColourModel::Grey : ColourModel::Rgb;
        } else if (type == "iCCP" && length <= LargestProfileBytes &&
                   found.colour.iccProfile.isEmpty()) {
            const QByteArray data = device.read(qint64(length) + 4);
            if (data.size() == qint64(length) + 4) {
                const QByteArray chunk = type + data.left(length);
                const uLong crc = crc32(0, reinterpret_cast<const Bytef *>(chunk.constData()),
                                        uInt(chunk.size()));
                if (crc == bigEndian(data, int(length)))
                    found.colour.iccProfile = profileOf(data.left(length));
            }
        }
        at += 12 + qint64(length);
    }
    device.seek(start);
    return found;
}

} // namespace tk
