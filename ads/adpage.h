#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tk {

// However many slots a page announces, no more are read.
constexpr int MaxAdSlots = 100;
// However many ads are on, no more are opened each time the page is read.
constexpr int MaxAdsPerRead = 5;

struct AdSlot {
    QString State; // one character; "开" means on
    QString Link;
};

// The ad configuration page as read, with positions found by plain text search (the
// first occurrence of each marker counts) and cut as the page format lays down.
struct AdPage {
    // The count after "总数": a number rounded half to even, 0 when it is not a number
    // or does not fit 32 bits.
    int SlotCount = 0;
    QString MasterSwitch; // the text after "总开关"
    QList<AdSlot> Slots;  // slots 1 to SlotCount, at most MaxAdSlots
};

// Reads the page in time linear in its length.
AdPage parseAdPage(const QString &text);

// The links to open, in slot order: those of the slots that are on, when the master
// switch is exactly "开", and only links that are web addresses (isWebAddress).
QStringList linksToOpen(const AdPage &page);

// Of a page's `links` (as linksToOpen gives them), those to open now: in their order, at
// most MaxAdsPerRead, and none naming an address in `opened` (those opened before in this
// run) or one before it in `links`. An address is the same however it is spelt: scheme
// and host in any case, a plain character or its percent-escape, the default port or none.
QStringList adsToOpen(const QStringList &links, const QStringList &opened);

} // namespace tk
