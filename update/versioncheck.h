#pragma once

#include <QString>
#include <optional>

namespace tk {

// The progress bar of the update window, in twips: each tick adds BarStep.
constexpr float BarStep = 20;
constexpr float CheckingWidth = 1000;
constexpr float VerdictWidth = 4000;
constexpr float FullWidth = 4650; // the track's width: the bar is full
constexpr float TrackHeight = 255;
// The update window's clock, which moves the bar one step each tick.
constexpr int TickInterval = 10; // milliseconds

// Major, minor and revision, each at least two digits: 13, 11, 6 give "13.11.06".
QString ownVersionText(int major, int minor, int revision);

// The version a page publishes: the eight characters after the first "Ver" that is
// directly followed by two digits, a dot, two digits, a dot and two digits, with no
// further digit after them. Earlier "Ver"s that are not ("Version", "Ver13.1") are
// skipped. Nothing when no such marker exists.
std::optional<QString> publishedVersion(const QString &body);

// What one tick of the update window does once the bar has reached `barWidth`.
struct TickVerdict {
    QString status;      // the status line's new text; empty leaves it as it is
    bool prompt = false; // offer the published version for download
    bool close = false;  // close the window
};
TickVerdict tickVerdict(float barWidth, bool versionFetched, const QString &own,
                        const QString &published);

// The download question for a published version, and its title.
QString promptText(const QString &published);
QString promptTitle();

} // namespace tk
