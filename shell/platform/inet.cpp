#include "shell/platform/inet.h"

#include "core/error.h"
#include "core/webaddress.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <unistd.h>

namespace tk {

namespace {

constexpr int MaxRedirects = 10;
constexpr qint64 ReadBufferBytes = 64 * 1024;
// What a transfer may add to the process while it runs, whatever Qt buffers inside:
// it takes in the body of a 401 or 407 answer whole before it says anything.
constexpr qint64 MaxTransferGrowth = 24 << 20;
constexpr std::chrono::milliseconds MemoryCheckInterval{5};

// The process's resident memory in bytes, or 0 where the system does not tell.
qint64 residentBytes()
{
#ifdef Q_OS_LINUX
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return 0;
    const QList<QByteArray> fields = statm.read(128).split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * ::sysconf(_SC_PAGESIZE) : 0;
#else
    return 0;
#endif
}

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

QString failed(const QString &url, const QString &reason)
{
    return QStringLiteral("无法读取 %1：%2").arg(url, reason);
}

QString tooLarge()
{
    return QStringLiteral("内容超过 1 MiB");
}

QString httpStatus(int status)
{
    return QStringLiteral("服务器回答 HTTP %1").arg(status);
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString redirectRefused(const QUrl &to)
{
    return QStringLiteral("转到了不允许的地址 %1").arg(to.toDisplayString());
}

// The handlers refer to the waiting call's locals: none may run once it has returned.
struct Discard {
    void operator()(QObject *object) const
    {
        object->disconnect();
        object->deleteLater();
    }
};

} // namespace

Inet::Inet(QObject *parent) : QObject(parent), m_manager(new QNetworkAccessManager(this))
{
    setObjectName(QStringLiteral("Inet1"));
}

Inet::~Inet()
{
    // A wait still running further up the stack learns that the control is gone.
    if (m_loop)
        m_loop->quit();
}

QString Inet::OpenURL(const QString &url)
{
    return QString::fromUtf8(fetch(url));
}

QByteArray Inet::OpenURL(const QString &url, BytesMode)
{
    return fetch(url);
}

QByteArray Inet::fetch(const QString &url)
{
    if (m_loop)
        throw Error(failed(url, QStringLiteral("上一次传输还没有结束")));
    if (!isWebAddress(url))
        throw Error(failed(url, QStringLiteral("只能读取 http 或 https 地址")));

    const QDeadlineTimer deadline(m_timeout); // for the whole transfer, redirects included
    QUrl target(url);
    for (int redirects = 0;; ++redirects) {
        const Answer answer = request(url, target, deadline);
        if (answer.redirect.isEmpty())
            return answer.body;
        if (!isWebScheme(answer.redirect))
            throw Error(failed(url, redirectRefused(answer.redirect)));
        if (redirects == MaxRedirects)
            throw Error(failed(url, QStringLiteral("转向超过 %1 次").arg(MaxRedirects)));
        target = answer.redirect;
    }
}

Inet::Answer Inet::request(const QString &url, const QUrl &target, const QDeadlineTimer &deadline)
{
    // Redirects are followed by fetch(), so that no redirect's body is ever read.
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = m_manager->get(request);
    // Qt's network thread stops reading once this much waits unread, so however fast
    // the server sends, no more than this is held beyond our own copy of the body.
    reply->setReadBufferSize(ReadBufferBytes);

    // Set before a deliberate abort, so the reason is ours rather than "cancelled".
    QString reason;
    const auto stop = [&reason, reply](const QString &why) {
        if (reply->isFinished())
            return;
        if (reason.isEmpty())
            reason = why;
        reply->abort();
    };
    Answer answer;
    // Drained as it arrives, up to one byte past the limit; true once past it.
    const auto drain = [&answer, reply] {
        answer.body +=
            reply->read(std::min(reply->bytesAvailable(), MaxBodyBytes + 1 - answer.body.size()));
        return answer.body.size() > MaxBodyBytes;
    };
    // The status decides before the body is read. The abort waits for the event loop:
    // inside this signal Qt has not finished taking in the answer.
    QString refusal;
    QTimer refuse;
    refuse.setSingleShot(true);
    connect(&refuse, &QTimer::timeout, reply, [&stop, &refusal] { stop(refusal); });
    connect(reply, &QNetworkReply::metaDataChanged, reply, [&answer, &refusal, &refuse, reply] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 0 || (status >= 200 && status <= 299) || !refusal.isEmpty())
            return;
        const QByteArray location = reply->rawHeader("Location");
        if (isRedirect(status) && !location.isEmpty())
            answer.redirect = reply->url().resolved(QUrl::fromEncoded(location));
        refusal = httpStatus(status);
        refuse.start(0);
    });
    connect(reply, &QNetworkReply::readyRead, reply, [&drain, &stop, &refusal] {
        if (refusal.isEmpty() && drain())
            stop(tooLarge());
    });
    // A stated length tells before the body comes.
    connect(reply, &QNetworkReply::downloadProgress, reply, [&stop, &refusal](qint64, qint64 all) {
        if (refusal.isEmpty() && all > MaxBodyBytes)
            stop(tooLarge());
    });
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, reply, [&stop, this] {
        stop(QStringLiteral("%1 秒内没有完成").arg(double(m_timeout.count()) / 1000.0));
    });

    // Where Qt takes in a body without telling (see MaxTransferGrowth), the memory tells.
    const qint64 residentAtStart = residentBytes();
    QTimer memory;
    connect(&memory, &QTimer::timeout, reply, [&stop, residentAtStart] {
        if (residentAtStart > 0 && residentBytes() - residentAtStart > MaxTransferGrowth)
            stop(tooLarge());
    });
    memory.start(MemoryCheckInterval);

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    const QPointer<Inet> self(this);
    m_loop = &loop;
    timer.start(
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline.remainingTimeAsDuration()));
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) // deleted while waiting; its manager took the reply along
        throw Error(failed(url, QStringLiteral("传输控件已关闭")));
    m_loop = nullptr;
    timer.stop();

    const std::unique_ptr<QNetworkReply, Discard> finished(reply);
    if (!answer.redirect.isEmpty())
        return answer;
    if (!reason.isEmpty())
        throw Error(failed(url, reason));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status != 0 && (status < 200 || status > 299))
        throw Error(failed(url, httpStatus(status)));
    if (reply->error() != QNetworkReply::NoError)
        throw Error(failed(url, reply->errorString()));
    if (status == 0)
        throw Error(failed(url, QStringLiteral("没有收到 HTTP 回答")));
    if (drain())
        throw Error(failed(url, tooLarge()));
    return answer;
}

} // namespace tk
