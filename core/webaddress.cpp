#include "core/webaddress.h"

#include <QUrl>

namespace tk {

namespace {

bool isForbidden(char32_t c)
{
    if (c <= 0x20 || QChar::isSpace(c))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Control:
    case QChar::Other_Format: // invisible marks and direction overrides hide the real address
    case QChar::Other_Surrogate:
        return true;
    default:
        break;
    }
    switch (c) {
    case '"':
    case '\'':
    case '<':
    case '>':
    case '\\':
    case '`':
        return true;
    default:
        return false;
    }
}

} // namespace

bool isWebAddress(const QString &text)
{
    // Spelled out in full: "http:foo" or "https:/x" would be resolved against something.
    if (!text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) &&
        !text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return false;
    for (int i = 0; i < text.size(); ++i) {
        char32_t c = text.at(i).unicode();
        // A well-formed surrogate pair is one character outside the basic plane; a lone
        // surrogate stays a surrogate and is refused.
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (isForbidden(c))
            return false;
    }
    const QUrl url(text, QUrl::TolerantMode);
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

} // namespace tk
