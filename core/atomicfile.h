#pragma once

#include <QIODevice>
#include <QString>
#include <functional>

namespace tk {

// Fills the file at `path` through `write`, which returns an error text or an empty
// string. The bytes go to a new file beside the target that is renamed over it only
// when complete, so no reader ever sees half a file and a failure keeps the old one.
// Throws tk::Error naming the file and the reason.
void writeFileAtomically(const QString &path, const std::function<QString(QIODevice &)> &write);

} // namespace tk
