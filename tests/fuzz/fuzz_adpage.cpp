// The ad page parser hands out only http and https addresses, reads at most the slot
// limit, and stays linear: the input repeated to a large page is parsed as well, which a
// parser with quadratic cost could not do within the fuzzer's time limit. The picking
// opens a few ads each time and none twice.
#include "ads/adpage.h"
#include "ads/module1.h"

#include <QUrl>
#include <cstdint>
#include <cstdlib>

namespace {

void check(const QString &text)
{
    const tk::AdPage page = tk::parseAdPage(text);
    if (page.Slots.size() > tk::MaxAdSlots || page.Slots.size() > qMax(page.SlotCount, 0))
        std::abort();
    for (const tk::AdSlot &slot : page.Slots)
        if (slot.State.size() > 1)
            std::abort();
    const QStringList links = tk::linksToOpen(page);
    // Picked at start-up and again on closing: five at most each time, none twice.
    const QStringList first = tk::adsToOpen(links, {}), second = tk::adsToOpen(links, first);
    if (first.size() > tk::MaxAdsPerRead || second.size() > tk::MaxAdsPerRead)
        std::abort();
    for (const QString &link : second)
        if (first.contains(link))
            std::abort();
    for (const QString &link : links) {
        const QUrl url(link);
        const bool web = link.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                         link.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
        if (!web || !url.isValid() || url.host().isEmpty() || link.contains(QLatin1Char('"')))
            std::abort();
        for (QChar c : link)
            if (c.unicode() <= 0x20)
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    check(tk::DecodeUtf8(bytes));
    if (size > 0) {
        constexpr qsizetype Large = 128 * 1024;
        check(tk::DecodeUtf8(bytes.repeated(Large / qsizetype(size) + 1)));
    }
    return 0;
}
