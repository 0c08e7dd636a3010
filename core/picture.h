#pragma once

#include <QImage>
#include <QSize>
#include <QString>

namespace tk {

// A picture object: empty (handle 0) or holding a bitmap.
class Picture {
public:
    Picture() = default;
    explicit Picture(QImage image) : m_image(std::move(image)) {}

    // Non-zero exactly when the picture holds a bitmap.
    qint64 Handle() const { return m_image.isNull() ? 0 : m_image.cacheKey(); }
    const QImage &image() const { return m_image; }

private:
    QImage m_image;
};

// The upright size of the picture at `path` (EXIF quarter turns applied), read from
// its header. Throws tk::Error when it is no picture.
QSize pictureSize(const QString &path);

// Decodes the picture file at `path`, turned upright by its EXIF orientation.
// With a valid `decodeSize` the decoder scales while it reads (ignoring the aspect
// ratio), so a huge photo never lives at full size in memory.
// Throws tk::Error for anything that is not a complete, decodable picture.
QImage LoadPicture(const QString &path, QSize decodeSize = QSize());

// How a picture is saved: an image format Qt writes, its quality, the file extension.
struct SaveFormat {
    QByteArray format = "jpeg";
    int quality = 95;
    QString extension() const { return format == "jpeg" ? QStringLiteral("jpg") : QString(format); }
};

// Writes `image` to `path` (by default a JPEG of quality 95) through a temporary file in the
// same folder that is renamed over the target: the target is either the old file or
// the complete new one. Throws tk::Error naming the file and the system's reason.
void SavePicture(const QImage &image, const QString &path, const SaveFormat &format = {});

} // namespace tk
