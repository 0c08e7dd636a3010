#pragma once

#include <QByteArray>
#include <QString>

namespace tk {

// Bytes of a web page to text, as UTF-8. Each ill-formed sequence becomes U+FFFD and the
// rest decodes normally; every other character is kept, a leading byte-order mark and
// NUL characters too. No bytes give empty text.
QString DecodeUtf8(const QByteArray &bytes);

} // namespace tk
