#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <chrono>

namespace tk {

// However many slots a page announces, no more are read.
constexpr int MaxAdSlots = 100;
// The ad page is read at start-up and on closing: it may hold the window this long.
constexpr std::chrono::milliseconds AdPageTimeout{5000};

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

} // namespace tk
