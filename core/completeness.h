#pragma once

class QIODevice;

namespace tk {

// Qt hands back the part it could read of a cut GIF or BMP as if it were whole, so
// their structure is walked first. Both read from the device's start and leave its
// position undefined. A picture that is cut before its first image ends is incomplete,
// and so is a GIF whose first image's data stops before it has filled that image.
bool gifIsComplete(QIODevice &device);
bool bmpIsComplete(QIODevice &device);

} // namespace tk
