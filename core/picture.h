#pragma once

#include "core/picturereader.h"

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

// How a picture is saved: an image format Qt writes, its quality, the file extension.
struct SaveFormat {
    QByteArray format = "jpeg";
    int quality = 95;
    QString extension() const { return format == "jpeg" ? QStringLiteral("jpg") : QString(format); }
};

// Writes `image` to `path` (by default a JPEG of quality 95) through a temporary file in the
// same folder that is renamed over the target: the target is either the old file or
// the complete new one. Throws tk::Error naming the file and the system's reason.
// Hand a large image over as a temporary or moved: one shared with another image is
// copied to take the saved density (see encodePicture).
void SavePicture(QImage image, const QString &path, const SaveFormat &format = {});

// Loads the JPEG writer on the calling thread, before threads that end early encode:
// Qt's plugin object belongs to the thread that first loads it.
void prepareEncoding();

// Encodes `image` onto `device` at 96 dots per inch, whatever density the image had;
// the reason for a failure, or an empty string.
QString encodePicture(QImage image, QIODevice &device, const SaveFormat &format = {});

} // namespace tk
