#include "httpserver.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

HttpServer::HttpServer(QObject *parent) : QObject(parent)
{
    if (!m_server.listen(QHostAddress::LocalHost))
        qFatal("test server: %s", qPrintable(m_server.errorString()));
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
                QByteArray request = socket->property("request").toByteArray() + socket->readAll();
                socket->setProperty("request", request);
                if (!request.contains("\r\n\r\n") || socket->property("answered").toBool())
                    return;
                socket->setProperty("answered", true);
                const QList<QByteArray> line = request.left(request.indexOf("\r\n")).split(' ');
                answer(socket, line.size() > 1 ? QString::fromLatin1(line[1]) : QString());
            });
        }
    });
}

HttpServer::~HttpServer()
{
    m_stopping = true;
    for (std::thread &stream : m_streams)
        stream.join();
}

QString HttpServer::url(const QString &path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
}

QString HttpServer::refusingUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/").arg(port);
}

void HttpServer::answer(QTcpSocket *socket, const QString &path)
{
    m_requests << path;
    emit requested(path);
    Reply reply;
    if (m_replies.contains(path))
        reply = m_replies[path];
    else if (m_replies.contains(QStringLiteral("*")))
        reply = m_replies[QStringLiteral("*")];
    else
        reply.status = 404;
    if (reply.silent)
        return;

    QByteArray head = "HTTP/1.1 " + QByteArray::number(reply.status) + " Canned\r\n" +
                      "Content-Type: text/html; charset=utf-8\r\nConnection: close\r\n";
    if (reply.statedLength && !reply.endless)
        head += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    if (!reply.location.isEmpty())
        head += "Location: " + reply.location + "\r\n";
    if (reply.status == 401)
        head += "WWW-Authenticate: Basic realm=\"pages\"\r\n";
    if (reply.endless) {
        stream(socket, head + "\r\n");
        return;
    }
    socket->write(head + "\r\n");
    if (reply.dropHalfway) {
        // Closed after what was written has gone out: the head always arrives, so the
        // client sees a cut-off body rather than a connection it may try again.
        socket->write(reply.body.left(reply.body.size() / 2));
        socket->disconnectFromHost();
        return;
    }
    const auto sendBody = [socket, body = reply.body] {
        socket->write(body);
        socket->disconnectFromHost();
    };
    if (reply.delayMs > 0)
        QTimer::singleShot(reply.delayMs, socket, sendBody);
    else
        sendBody();
}

void HttpServer::stream(QTcpSocket *socket, const QByteArray &head)
{
    // The connection is handed to the thread whole: the socket lets go of its copy.
    const int fd = ::dup(int(socket->socketDescriptor()));
    socket->abort();
    if (fd < 0)
        qFatal("test server: dup: %s", std::strerror(errno));
    m_streams.emplace_back([this, fd, head] {
        const QByteArray filler(64 * 1024, 'x');
        QByteArray pending = head;
        qsizetype sent = 0;
        while (!m_stopping) {
            pollfd ready{fd, POLLOUT, 0};
            if (::poll(&ready, 1, 50) <= 0)
                continue;
            const ssize_t n =
                ::send(fd, pending.constData() + sent, size_t(pending.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                break; // the client went away
            sent += std::max<ssize_t>(n, 0);
            if (sent == pending.size()) {
                pending = filler;
                sent = 0;
            }
        }
        ::close(fd);
    });
}

} // namespace testsupport
