#pragma once

#include <QStringList>

// What stands in for the desktop and the user in the window tests.
namespace testsupport {

// While it lives, the desktop's URL opener: records every address handed over, as the
// text that would reach the opener, instead of starting a browser.
class UrlRecorder {
public:
    UrlRecorder();
    ~UrlRecorder();
    UrlRecorder(const UrlRecorder &) = delete;
    UrlRecorder &operator=(const UrlRecorder &) = delete;
    QStringList opened;
};

// Puts every hook of the platform layer back to the real thing, and the program's
// folder back to the executable's.
void resetPlatformHooks();

} // namespace testsupport
