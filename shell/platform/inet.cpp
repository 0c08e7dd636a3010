#include "shell/platform/inet.h"

#include "core/error.h"
#include "core/language.h"
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
#include <optional>
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
    return Texts::tr("无法读取 %1：%2").arg(url, reason);
}

// The limit is spoken of in whole MiB.
static_assert(Inet::MaxBodyBytes % (1 << 20) == 0);

QString tooLarge()
{
    return Texts::tr("内容超过 %1 MiB").arg(Inet::MaxBodyBytes >> 20);
}

QString httpStatus(int status)
{
    return Texts::tr("服务器回答 HTTP %1").arg(status);
}

bool isSuccess(int status)
{
    return status >= 200 && status <= 299;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

QString redirectRefused(const QUrl &to)
{
    return Texts::tr("转到了不允许的地址 %1").arg(to.toDisplayString());
}

ReplyVerdict failure(const QString &reason)
{
    return {ReplyVerdict::Failure, QUrl(), reason};
}

// The handlers refer to the waiting call's locals: none may run once it has returned.
struct Discard {
    void operator()(QObject *object) const
    {
        object->disconnect();
        object->deleteLater();
    }
};

// One GET under way: gathers the reply's facts and its body as they come, asks
// judgeReply() at each step and stops the reply at the first verdict, which stands.
class Transfer {
public:
    explicit Transfer(QNetworkReply *reply);
    Transfer(const Transfer &) = delete;
    Transfer &operator=(const Transfer &) = delete;

    // Ends the transfer with `verdict`, unless it has one already.
    void stop(const ReplyVerdict &verdict);
    // The verdict on the finished reply.
    ReplyVerdict verdict();
    QByteArray &body() { return m_body; }

private:
    // The status, the answering address and where it sends the client.
    void readAnswer();
    // Takes in what has arrived, up to one byte past the limit.
    void drain();
    // Stops the reply at a verdict; `later` waits for the event loop, for a verdict
    // reached while Qt has not yet finished taking in the answer.
    void judge(bool later);

    QNetworkReply *m_reply;
    ReplyFacts m_facts;
    QByteArray m_body;
    std::optional<ReplyVerdict> m_stopped;
    QTimer m_stopLater;
};

Transfer::Transfer(QNetworkReply *reply) : m_reply(reply)
{
    // Qt's network thread stops reading once this much waits unread, so however fast
    // the server sends, no more than this is held beyond our own copy of the body.
    reply->setReadBufferSize(ReadBufferBytes);
    m_stopLater.setSingleShot(true);
    QObject::connect(&m_stopLater, &QTimer::timeout, reply, [this] {
        if (!m_reply->isFinished())
            m_reply->abort();
    });
    // The status decides before the body is read.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [this] {
        readAnswer();
        judge(true);
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [this] {
        if (m_stopped)
            return;
        drain();
        judge(false);
    });
    // A stated length tells before the body comes.
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [this](qint64, qint64 all) {
        m_facts.statedBytes = all;
        judge(false);
    });
}

void Transfer::readAnswer()
{
    m_facts.status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    m_facts.url = m_reply->url();
    m_facts.location = m_reply->rawHeader("Location");
}

void Transfer::drain()
{
    m_body +=
        m_reply->read(std::min(m_reply->bytesAvailable(), Inet::MaxBodyBytes + 1 - m_body.size()));
    m_facts.receivedBytes = m_body.size();
}

void Transfer::judge(bool later)
{
    if (m_stopped)
        return;
    const ReplyVerdict verdict = judgeReply(m_facts);
    if (verdict.kind == ReplyVerdict::Wait)
        return;
    m_stopped = verdict;
    if (later)
        m_stopLater.start(0);
    else if (!m_reply->isFinished())
        m_reply->abort();
}

void Transfer::stop(const ReplyVerdict &verdict)
{
    if (m_stopped || m_reply->isFinished())
        return;
    m_stopped = verdict;
    m_reply->abort();
}

ReplyVerdict Transfer::verdict()
{
    if (m_stopped)
        return *m_stopped;
    drain();
    readAnswer();
    m_facts.finished = true;
    if (m_reply->error() != QNetworkReply::NoError)
        m_facts.networkError = m_reply->errorString();
    return judgeReply(m_facts);
}

} // namespace

ReplyVerdict judgeReply(const ReplyFacts &facts)
{
    if (facts.status != 0 && !isSuccess(facts.status)) {
        if (!isRedirect(facts.status) || facts.location.isEmpty())
            return failure(httpStatus(facts.status));
        const QUrl to = facts.url.resolved(QUrl::fromEncoded(facts.location));
        return isWebScheme(to) ? ReplyVerdict{ReplyVerdict::Redirect, to, QString()}
                               : failure(redirectRefused(to));
    }
    if (facts.finished && !facts.networkError.isEmpty())
        return failure(facts.networkError);
    if (facts.finished && facts.status == 0)
        return failure(Texts::tr("没有收到 HTTP 回答"));
    if (facts.statedBytes > Inet::MaxBodyBytes || facts.receivedBytes > Inet::MaxBodyBytes)
        return failure(tooLarge());
    return facts.finished ? ReplyVerdict{ReplyVerdict::Body, QUrl(), QString()} : ReplyVerdict();
}

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
        throw Error(failed(url, Texts::tr("上一次传输还没有结束")));
    if (!isWebAddress(url))
        throw Error(failed(url, Texts::tr("只能读取 http 或 https 地址")));

    const QDeadlineTimer deadline(m_timeout); // for the whole transfer, redirects included
    QUrl target(url);
    for (int redirects = 0;; ++redirects) {
        QByteArray body;
        const ReplyVerdict verdict = request(url, target, deadline, &body);
        if (verdict.kind == ReplyVerdict::Body)
            return body;
        if (verdict.kind == ReplyVerdict::Failure)
            throw Error(failed(url, verdict.reason));
        if (redirects == MaxRedirects)
            throw Error(failed(url, Texts::tr("转向超过 %1 次").arg(MaxRedirects)));
        target = verdict.redirect;
    }
}

ReplyVerdict Inet::request(const QString &url, const QUrl &target, const QDeadlineTimer &deadline,
                           QByteArray *body)
{
    // Redirects are followed by fetch(), so that no redirect's body is ever read.
    QNetworkRequest request(target);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply *reply = m_manager->get(request);
    Transfer transfer(reply);

    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, reply, [&transfer, this] {
        transfer.stop(
            failure(Texts::tr("%1 秒内没有完成").arg(double(m_timeout.count()) / 1000.0)));
    });
    // Where Qt takes in a body without telling (see MaxTransferGrowth), the memory tells.
    const qint64 residentAtStart = residentBytes();
    QTimer memory;
    connect(&memory, &QTimer::timeout, reply, [&transfer, residentAtStart] {
        if (residentAtStart > 0 && residentBytes() - residentAtStart > MaxTransferGrowth)
            transfer.stop(failure(tooLarge()));
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
        throw Error(failed(url, Texts::tr("传输控件已关闭")));
    m_loop = nullptr;
    timer.stop();

    const std::unique_ptr<QNetworkReply, Discard> finished(reply);
    const ReplyVerdict verdict = transfer.verdict();
    if (verdict.kind == ReplyVerdict::Body)
        *body = std::move(transfer.body());
    return verdict;
}

} // namespace tk
