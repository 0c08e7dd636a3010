#pragma once

#include <QColor>

namespace tk {

// A colour value 0x00BBGGRR, or 0x80000000 + n for system colour n.
QColor vbColour(quint32 value);

} // namespace tk
