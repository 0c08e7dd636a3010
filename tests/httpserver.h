#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <atomic>
#include <thread>
#include <vector>

namespace testsupport {

// A small HTTP/1.1 server on 127.0.0.1, in the test's own process and thread: each path
// gets a canned reply, any other path a 404 (or the reply set for "*"). An endless reply
// is written from a thread of its own.
class HttpServer : public QObject {
    Q_OBJECT
public:
    struct Reply {
        Reply(int status = 200, QByteArray body = {}) : status(status), body(std::move(body)) {}
        int status;
        QByteArray body;
        QByteArray location;      // a Location header, for redirects
        bool silent = false;      // read the request, never answer
        int delayMs = 0;          // send the head at once, the body after this delay
        bool dropHalfway = false; // send half the body, then close the connection
        bool statedLength = true; // without it the body ends when the connection closes
        // No stated length and a body that never ends, written as fast as the connection
        // takes it, however busy the test's thread is, until the client goes away.
        bool endless = false;
    };

    explicit HttpServer(QObject *parent = nullptr);
    ~HttpServer() override;

    QString url(const QString &path) const;
    void setReply(const QString &path, const Reply &reply) { m_replies[path] = reply; }
    // Paths requested so far, in order.
    const QStringList &requests() const { return m_requests; }

    // An address on which nothing listens.
    static QString refusingUrl();

signals:
    void requested(const QString &path);

private:
    void answer(class QTcpSocket *socket, const QString &path);
    void stream(class QTcpSocket *socket, const QByteArray &head);

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;
    QStringList m_requests;
    std::vector<std::thread> m_streams;
    std::atomic<bool> m_stopping{false};
};

} // namespace testsupport
