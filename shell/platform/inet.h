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

// What an HTTP reply has shown of itself at some point of its transfer.
struct ReplyFacts {
    int status = 0;           // 0 until an HTTP answer has come
    QUrl url;                 // the address that answered
    QByteArray location;      // its Location header, as sent
    qint64 statedBytes = -1;  // the body's announced length; -1 when none was announced
    qint64 receivedBytes = 0; // the body taken in so far
    bool finished = false;    // the transfer is over
    QString networkError;     // Qt's reason for a failed transfer; empty when none
};

// What to do with a reply: wait for more, take its body, follow it elsewhere, or fail
// with a reason fit to show.
struct ReplyVerdict {
    enum Kind { Wait, Body, Redirect, Failure } kind = Wait;
    QUrl redirect;
    QString reason;
};

// Judges a reply by its facts alone, as often as they change: a status outside 2xx
// ends it at once (a redirect to http or https only is followed), a body past
// Inet::MaxBodyBytes (announced or taken in) fails, and a finished reply without an
// HTTP answer or with a network failure fails.
ReplyVerdict judgeReply(const ReplyFacts &facts);

// Selects the byte form of Inet::OpenURL.
struct BytesMode {};
inline constexpr BytesMode AsBytes{};

// The transfer control: one HTTP GET at a time, waited for on the spot. While it waits,
// timers, sockets and painting go on but no user input is handled, so no click can
// start anything in between. Only http and https addresses are fetched; redirects are
// followed only to http and https, ten at most. A body is taken in as it arrives and the
// transfer ends as soon as judgeReply() gives its verdict.
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
    QByteArray fetch(const QString &url);
    // One GET of `target`, ended at `deadline`: a body or a redirect (the body comes
    // in `body`), or a failure. Throws only when the control is deleted while it waits.
    ReplyVerdict request(const QString &url, const QUrl &target, const QDeadlineTimer &deadline,
                         QByteArray *body);

    QNetworkAccessManager *m_manager;
    QEventLoop *m_loop = nullptr;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
};

} // namespace tk
