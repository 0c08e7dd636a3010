#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

namespace tk {

// The orientation recorded in a JPEG's APP1 "Exif" segment (the bytes after the
// marker's length), as the turn that makes the picture upright. Anything unreadable
// means no turn.
QImageIOHandler::Transformations exifTransformation(const QByteArray &app1);

// The turn that makes upright a picture stored in EXIF and TIFF orientation
// `orientation` (1 to 8); none for any other number.
QImageIOHandler::Transformations fromOrientation(quint32 orientation);

// `image` turned upright by `transformation`.
QImage applyTransformation(QImage image, QImageIOHandler::Transformations transformation);

} // namespace tk
