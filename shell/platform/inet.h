#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>
#include <chrono>

class QDeadlineTimer;
class QEventLoop;
class QNetworkAccessManager;

namespace tk {

// Selects the byte form of Inet::OpenURL.
struct BytesMode {};
inline constexpr BytesMode AsBytes{};

// The transfer control: one HTTP GET at a time, waited for on the spot. While it waits,
// timers, sockets and painting go on but no user input is handled, so no click can
// start anything in between. Only http and https addresses are fetched; redirects are
// followed only to http and https, ten at most. A body is taken in as it arrives and the
// transfer ends as soon as it passes MaxBodyBytes.
//
// Every failure throws tk::Error with a readable reason: refused or unreachable host,
// time-out, reset, an HTTP status outside 2xx, a body over MaxBodyBytes, a redirect
// elsewhere or too many, or a second OpenURL while one is still running.
class Inet : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 MaxBodyBytes = 1 << 20;
    static constexpr std::chrono::milliseconds DefaultTimeout{60000};

    explicit Inet(QObject *parent = nullptr);
    ~Inet() override;

    // The body decoded as UTF-8.
    QString OpenURL(const QString &url);
    // The body as it came.
    QByteArray OpenURL(const QString &url, BytesMode);

    bool StillExecuting() const { return m_loop != nullptr; }

    // For the whole transfer, redirects included.
    std::chrono::milliseconds RequestTimeout() const { return m_timeout; }
    void setRequestTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

private:
    // A 2xx answer's body, or where a redirect leads.
    struct Answer {
        QByteArray body;
        QUrl redirect;
    };
    QByteArray fetch(const QString &url);
    // One GET of `target`, ended at `deadline`; failures name `url`, the address asked for.
    Answer request(const QString &url, const QUrl &target, const QDeadlineTimer &deadline);

    QNetworkAccessManager *m_manager;
    QEventLoop *m_loop = nullptr;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
};

} // namespace tk
