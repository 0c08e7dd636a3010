#pragma once

#include <QByteArray>
#include <QImage>

namespace tk {

// An icon file holding `image` as its one image: 8 bits per pixel, 256 colours chosen
// for the image, and a mask that makes pixels under half opacity transparent.
// The image must be at most 256 × 256.
QByteArray indexedIco(const QImage &image);

} // namespace tk
