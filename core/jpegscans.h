#pragma once

#include <QHash>
#include <QtGlobal>

class QIODevice;

namespace tk {

// Block visits of a JPEG that holds several scans: each scan walks every block of its
// components again, however little data it holds, so the sum over the scans is the
// decoder's work beyond the data itself. Found from the markers of `device`, from its
// start to the end-of-image marker, without decoding; `blocksOf` gives each
// component's blocks by its identifier. Stops counting once the sum passes `limit`,
// and leaves the device's position where it was.
qint64 scanBlockVisits(QIODevice &device, const QHash<int, qint64> &blocksOf, qint64 limit);

} // namespace tk
