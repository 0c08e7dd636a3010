#include "inet.h"

#include "error.h"
#include "webaddress.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace tk {

namespace {

constexpr int MaxRedirects = 10;

bool isWebScheme(const QUrl &url)
{
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

QString failed(const QString &url, const QString &reason)
{
    return QStringLiteral("无法读取 %1：%2").arg(url, reason);
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

    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::UserVerifiedRedirectPolicy);
    request.setMaximumRedirectsAllowed(MaxRedirects);
    QNetworkReply *reply = m_manager->get(request);

    // Set before a deliberate abort, so the reason is ours rather than "cancelled".
    QString reason;
    const auto stop = [&reason, reply](const QString &why) {
        if (reply->isFinished())
            return;
        if (reason.isEmpty())
            reason = why;
        reply->abort();
    };
    connect(reply, &QNetworkReply::redirected, reply, [&stop, reply](const QUrl &to) {
        if (isWebScheme(to))
            emit reply->redirectAllowed();
        else
            stop(redirectRefused(to));
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [&stop](qint64 received, qint64 total) {
        if (received > MaxBodyBytes || total > MaxBodyBytes)
            stop(QStringLiteral("内容超过 1 MiB"));
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    connect(&deadline, &QTimer::timeout, reply, [&stop, this] {
        stop(QStringLiteral("%1 秒内没有完成").arg(double(m_timeout.count()) / 1000.0));
    });

    QEventLoop loop;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    const QPointer<Inet> self(this);
    m_loop = &loop;
    deadline.start(m_timeout);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!self) // deleted while waiting; its manager took the reply along
        throw Error(failed(url, QStringLiteral("传输控件已关闭")));
    m_loop = nullptr;
    deadline.stop();

    const std::unique_ptr<QNetworkReply, Discard> finished(reply);
    if (!reason.isEmpty())
        throw Error(failed(url, reason));
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // Qt refuses some targets (file:, ftp:) itself, without asking; say where it led.
    const QByteArray location = reply->rawHeader("Location");
    if (status >= 300 && status < 400 && !location.isEmpty())
        throw Error(
            failed(url, redirectRefused(reply->url().resolved(QUrl::fromEncoded(location)))));
    if (status != 0 && (status < 200 || status > 299))
        throw Error(failed(url, QStringLiteral("服务器回答 HTTP %1").arg(status)));
    if (reply->error() != QNetworkReply::NoError)
        throw Error(failed(url, reply->errorString()));
    if (status == 0)
        throw Error(failed(url, QStringLiteral("没有收到 HTTP 回答")));
    QByteArray body = reply->readAll();
    if (body.size() > MaxBodyBytes) // a body without a stated length that grew past the limit
        throw Error(failed(url, QStringLiteral("内容超过 1 MiB")));
    return body;
}

} // namespace tk
