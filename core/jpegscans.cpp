#include "core/jpegscans.h"

#include <QByteArray>
#include <QIODevice>
#include <cstring>

namespace tk {

namespace {

// The device's bytes through a buffer of its own.
class Bytes {
public:
    explicit Bytes(QIODevice &device) : m_device(device) {}

    // The next byte, or -1 at the end.
    int next()
    {
        if (m_at == m_buffer.size() && !refill())
            return -1;
        return uchar(m_buffer[m_at++]);
    }
    // Moves past the next 0xFF; false when there is none.
    bool passNextFF()
    {
        for (;;) {
            const char *from = m_buffer.constData() + m_at;
            if (const void *ff = std::memchr(from, 0xFF, size_t(m_buffer.size() - m_at))) {
                m_at += static_cast<const char *>(ff) - from + 1;
                return true;
            }
            if (!refill())
                return false;
        }
    }
    void skip(qint64 count)
    {
        const qint64 here = qMin(count, qint64(m_buffer.size() - m_at));
        m_at += qsizetype(here);
        if (count > here)
            m_device.skip(count - here);
    }

private:
    bool refill()
    {
        m_buffer = m_device.read(64 * 1024);
        m_at = 0;
        return !m_buffer.isEmpty();
    }

    QIODevice &m_device;
    QByteArray m_buffer;
    qsizetype m_at = 0;
};

constexpr int StartOfScan = 0xDA, EndOfImage = 0xD9;

// Markers that stand alone, without a length: stuffing inside entropy data, TEM,
// the restart markers and the start of the image.
bool standsAlone(int marker)
{
    return marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

} // namespace

qint64 scanBlockVisits(QIODevice &device, const QHash<int, qint64> &blocksOf, qint64 limit)
{
    const qint64 start = device.pos();
    qint64 visits = 0;
    if (device.seek(0)) {
        Bytes bytes(device);
        // Every marker is found by its 0xFF, so entropy data and stray bytes between
        // segments are passed over as the decoder passes over them.
        while (visits <= limit && bytes.passNextFF()) {
            int marker = bytes.next();
            while (marker == 0xFF) // fill bytes
                marker = bytes.next();
            if (marker < 0 || marker == EndOfImage)
                break;
            if (standsAlone(marker))
                continue;
            const int high = bytes.next(), low = bytes.next();
            if (low < 0)
                break;
            qint64 left = (high << 8 | low) - 2;
            if (marker == StartOfScan && left > 0) {
                const int components = bytes.next();
                --left;
                for (int i = 0; i < components && left >= 2; ++i, left -= 2) {
                    visits += blocksOf.value(bytes.next()); // an unknown one fails the decode
                    bytes.next();
                }
            }
            bytes.skip(qMax<qint64>(0, left));
        }
    }
    device.seek(start);
    return visits;
}

} // namespace tk
