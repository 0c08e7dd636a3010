#include "core/iconimage.h"

#include <QIODevice>
#include <QScopeGuard>
#include <QtEndian>
#include <limits>

namespace tk {

namespace {

int dimension(quint32 value)
{
    return int(qMin<quint32>(value, std::numeric_limits<int>::max()));
}

} // namespace

std::optional<IconImage> iconImage(QIODevice &device)
{
    const qint64 start = device.pos();
    const auto restore = qScopeGuard([&] { device.seek(start); });
    constexpr int DirectoryBytes = 6, EntryBytes = 16;
    if (!device.seek(0))
        return std::nullopt;
    const QByteArray head = device.read(DirectoryBytes + EntryBytes);
    if (head.size() < DirectoryBytes + EntryBytes)
        return std::nullopt;
    const auto *entry = reinterpret_cast<const uchar *>(head.constData()) + DirectoryBytes;
    const quint32 entrySize = qFromLittleEndian<quint32>(entry + 8);
    const quint32 offset = qFromLittleEndian<quint32>(entry + 12);
    if (offset >= device.size() || !device.seek(offset))
        return std::nullopt;
    const QByteArray inside = device.read(40); // a PNG's signature and header, or a bitmap's
    const auto *bytes = reinterpret_cast<const uchar *>(inside.constData());
    const qint64 held = qMin<qint64>(entrySize, device.size() - offset);

    if (inside.startsWith("\x89PNG\r\n\x1A\n")) {
        if (inside.size() < 25 || inside.mid(12, 4) != "IHDR")
            return std::nullopt;
        const QSize size(dimension(qFromBigEndian<quint32>(bytes + 16)),
                         dimension(qFromBigEndian<quint32>(bytes + 20)));
        // Qt decodes it whole, in whatever format its colours need: at most 64 bits a
        // pixel for 16-bit samples, 32 otherwise.
        const bool deep = bytes[24] > 8;
        return IconImage{size, deep ? QImage::Format_RGBA64 : QImage::Format_ARGB32, held};
    }
    if (inside.size() < 12)
        return std::nullopt;
    // A bitmap: the directory's size, unless that says 0, which leaves it to the
    // bitmap's header, whose height counts the mask's rows as well.
    const int width = entry[0] ? entry[0] : dimension(qFromLittleEndian<quint32>(bytes + 4));
    const int height = entry[1] ? entry[1] : dimension(qFromLittleEndian<quint32>(bytes + 8) / 2);
    return IconImage{QSize(width, height), QImage::Format_ARGB32, held};
}

} // namespace tk
