#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QUrl>

// What stands in for the desktop and the user in the window tests.
namespace testsupport {

// While it lives, the desktop's URL opener for `schemes`: records every address handed
// over instead of starting a browser.
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    explicit UrlRecorder(const QStringList &schemes = {"http", "https"});
    ~UrlRecorder() override;
    QList<QUrl> opened;
public slots:
    void open(const QUrl &url) { opened << url; }

private:
    QStringList m_schemes;
};

// Puts every hook of the platform layer back to the real thing, and the program's
// folder back to the executable's.
void resetPlatformHooks();

} // namespace testsupport
