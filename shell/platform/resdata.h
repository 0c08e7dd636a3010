#pragma once

#include <QByteArray>

namespace tk {

// The bytes of the program's embedded resource `number` (101 to 106).
// Throws tk::Error when the program carries no such resource.
QByteArray LoadResData(int number);

} // namespace tk
