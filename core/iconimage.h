#pragma once

#include <QImage>
#include <QSize>
#include <optional>

class QIODevice;

namespace tk {

// The picture Qt's reader makes of an icon or cursor file: its directory's first entry,
// at the size the image inside gives, which the directory need not tell (an entry
// that says 256 × 256 may hold a PNG of any size).
struct IconImage {
    QSize size;
    QImage::Format format; // the deepest format that image may decode into
    qint64 heldBytes;      // the entry's bytes, which the reader holds while it decodes
};

// From the image's own header: a PNG's, or for a bitmap its size where the directory
// leaves it open. Nothing when there is no entry to read; leaves the device's position
// where it was.
std::optional<IconImage> iconImage(QIODevice &device);

} // namespace tk
