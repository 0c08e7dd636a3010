#pragma once

#include <QChar>
#include <QString>

namespace tk {

// 0 to 9 only: page formats and version texts count no other digits.
constexpr bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// The C0 and C1 controls and DEL: characters that would move the cursor or change a
// terminal's state rather than show as themselves.
constexpr bool isControlCharacter(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0);
}

// `folder` with a trailing separator unless it already ends in one (a root folder does).
inline QString folderWithSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// A whole number in [low, high] written as decimal text, or -1.
inline int boundedNumber(const QString &text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= low && value <= high ? value : -1;
}

} // namespace tk
