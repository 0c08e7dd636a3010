// The published version: either nothing, or eight characters of the form 13.11.06 that
// stand right after the page's first "Ver" followed by such a version.
#include "update/versioncheck.h"

#include <QRegularExpression>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString body = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QString> version = tk::publishedVersion(body);

    // An independent reading of the same rule.
    static const QRegularExpression marker(
        QStringLiteral("Ver([0-9]{2}\\.[0-9]{2}\\.[0-9]{2})(?![0-9])"));
    const QRegularExpressionMatch match = marker.match(body);
    if (version.has_value() != match.hasMatch())
        std::abort();
    if (version && *version != match.captured(1))
        std::abort();
    return 0;
}
