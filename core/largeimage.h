#pragma once

#include <QImage>
#include <QSize>

namespace tk {

// A new image whose pixels lie in huge memory pages where the system offers them, else
// an ordinary one; null when the memory cannot be had. A large image written once row
// by row (a decode, a tile) then takes a page fault per 2 MiB instead of per 4 KiB,
// which on a virtual machine costs more than decoding the rows.
QImage largeImage(QSize size, QImage::Format format);

} // namespace tk
