#pragma once

#include <QByteArray>
#include <QImage>
#include <QImageIOHandler>

namespace tk {

// The orientation recorded in a JPEG's APP1 "Exif" segment (the bytes after the
// marker's length), as the turn that makes the picture upright. Anything unreadable
// means no turn.
QImageIOHandler::Transformations exifTransformation(const QByteArray &app1);

// `image` turned upright by `transformation`.
QImage applyTransformation(QImage image, QImageIOHandler::Transformations transformation);

} // namespace tk
