#include "ads/adpage.h"

#include "core/text.h"
#include "core/webaddress.h"

#include <QSet>
#include <QUrl>
#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <vector>

namespace tk {

namespace {

// Positions are 1-based, as in the page format; 0 means "not found".

// First `needle` at or after `start`; nothing when `start` is 0.
qsizetype find(const QString &text, QStringView needle, qsizetype start)
{
    return start < 1 ? 0 : text.indexOf(needle, start - 1) + 1;
}

// The `length` characters from `start`; nothing for a start below 1 or a negative
// length, what is there for a cut past the end.
QString cut(const QString &text, qsizetype start, qsizetype length)
{
    return start < 1 || length < 0 ? QString() : text.mid(start - 1, length);
}

// Every position of a needle, found in one pass, so that each slot's search from its
// own marker costs a binary search instead of another pass over the page.
class Occurrences {
public:
    Occurrences(const QString &text, QStringView needle)
    {
        for (qsizetype at = text.indexOf(needle); at >= 0; at = text.indexOf(needle, at + 1))
            m_positions.push_back(at + 1);
    }
    qsizetype from(qsizetype start) const
    {
        if (start < 1)
            return 0;
        const auto it = std::lower_bound(m_positions.begin(), m_positions.end(), start);
        return it == m_positions.end() ? 0 : *it;
    }

private:
    std::vector<qsizetype> m_positions;
};

// The first position of each slot marker "广告位<i>", i = 1..MaxAdSlots, in one pass.
// Matching is by prefix, as a text search matches: "广告位1" also matches "广告位12".
std::array<qsizetype, MaxAdSlots + 1> slotMarkers(const QString &text)
{
    const QString marker = QStringLiteral("广告位");
    std::array<qsizetype, MaxAdSlots + 1> first{};
    for (qsizetype at = text.indexOf(marker); at >= 0; at = text.indexOf(marker, at + 1)) {
        int number = 0;
        for (qsizetype d = at + marker.size(); d < text.size() && isAsciiDigit(text.at(d)); ++d) {
            number = number * 10 + text.at(d).digitValue();
            if (number == 0 || number > MaxAdSlots) // no leading zeros; beyond what is read
                break;
            if (first[number] == 0)
                first[number] = at + 1;
        }
    }
    return first;
}

// A signed 32-bit whole number from text such as " 3 ", "-1" or "2.5", rounded half to
// even; nothing for anything else.
std::optional<qint32> readWholeNumber(const QString &raw)
{
    const QString text = raw.trimmed();
    constexpr qint64 Beyond = qint64(1) << 40; // a magnitude past 32 bits stays past them
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 whole = 0;
    int digits = 0;
    for (; i < text.size() && isAsciiDigit(text.at(i)); ++i, ++digits)
        whole = std::min(Beyond, whole * 10 + text.at(i).digitValue());
    // Only the fraction's first digit and whether anything but zeros follows it matter.
    int firstDecimal = 0;
    bool moreDecimals = false;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        const qsizetype fraction = ++i;
        for (; i < text.size() && isAsciiDigit(text.at(i)); ++i, ++digits) {
            if (i == fraction)
                firstDecimal = text.at(i).digitValue();
            else if (text.at(i) != QLatin1Char('0'))
                moreDecimals = true;
        }
    }
    if (i != text.size() || digits == 0)
        return std::nullopt;
    if (firstDecimal > 5 || (firstDecimal == 5 && (moreDecimals || whole % 2 == 1)))
        ++whole;
    const qint64 value = negative ? -whole : whole;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return qint32(value);
}

// One spelling for every way of writing the same web address.
QString sameAddress(const QString &link)
{
    QUrl url(link, QUrl::TolerantMode); // lower-cases scheme and host, decodes plain escapes
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    if (url.port() == defaultPort)
        url.setPort(-1);
    if (url.path().isEmpty())
        url.setPath(QStringLiteral("/"));
    return url.adjusted(QUrl::NormalizePathSegments).toString(QUrl::FullyEncoded);
}

} // namespace

AdPage parseAdPage(const QString &text)
{
    AdPage page;

    const qsizetype p1 = find(text, u"总数", 1);
    const qsizetype p2 = find(text, u"<", p1);
    page.SlotCount = readWholeNumber(cut(text, p1 + 3, p2 - p1 - 3)).value_or(0);

    const qsizetype p3 = find(text, u"总开关", 1);
    const qsizetype p4 = find(text, u"<", p3);
    page.MasterSwitch = cut(text, p3 + 4, p4 - p3 - 4);

    const int read = std::clamp(page.SlotCount, 0, MaxAdSlots);
    if (read == 0)
        return page;
    const std::array<qsizetype, MaxAdSlots + 1> markers = slotMarkers(text);
    const Occurrences closing(text, u")"), href(text, u"href="), target(text, u"target=");
    for (int i = 1; i <= read; ++i) {
        const qsizetype m = markers[i];
        const qsizetype r = closing.from(m);
        const qsizetype h = href.from(m);
        const qsizetype t = target.from(h);
        // The state stands just before the ")"; the link between "href=" plus the opening
        // quote and the closing quote plus one space before "target=".
        page.Slots.append({cut(text, r - 1, 1), cut(text, h + 6, t - h - 8)});
    }
    return page;
}

QStringList linksToOpen(const AdPage &page)
{
    QStringList links;
    if (page.MasterSwitch != QStringLiteral("开"))
        return links;
    for (const AdSlot &slot : page.Slots) {
        if (slot.State == QStringLiteral("开") && isWebAddress(slot.Link))
            links << slot.Link;
    }
    return links;
}

QStringList adsToOpen(const QStringList &links, const QStringList &opened)
{
    QSet<QString> seen;
    for (const QString &link : opened)
        seen.insert(sameAddress(link));
    QStringList now;
    for (const QString &link : links) {
        if (now.size() == MaxAdsPerRead)
            break;
        if (const QString address = sameAddress(link); !seen.contains(address)) {
            seen.insert(address);
            now << link;
        }
    }
    return now;
}

} // namespace tk
