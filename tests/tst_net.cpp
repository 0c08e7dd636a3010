#include "core/error.h"
#include "desktopstandins.h"
#include "httpserver.h"
#include "shell/platform/browser.h"
#include "shell/platform/inet.h"
#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <sys/resource.h>

using testsupport::HttpServer;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(HttpServer::Reply)
Q_DECLARE_METATYPE(tk::ReplyFacts)

namespace {

qint64 peakResidentBytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

} // namespace

class TstNet : public QObject {
    Q_OBJECT
private slots:
    void fetchesTextBytesAndRedirects();
    void repliesAreJudged_data();
    void repliesAreJudged();
    void failedTransfersThrow_data();
    void failedTransfersThrow();
    void oneTransferAtATime();
    void handOffTakesOnlyWebAddresses_data();
    void handOffTakesOnlyWebAddresses();
};

void TstNet::fetchesTextBytesAndRedirects()
{
    HttpServer server;
    const QByteArray page = "<p>Tesselkraft 版本 Ver13.11.07</p>";
    const QByteArray full(tk::Inet::MaxBodyBytes, 'x');
    server.setReply("/page", {200, page});
    server.setReply("/full", {200, full});
    // A redirect's own body, larger than the client buffers, is never waited for.
    HttpServer::Reply moved{302, QByteArray(256 * 1024, 'r')};
    moved.location = "/page";
    server.setReply("/moved", moved);

    tk::Inet inet;
    QCOMPARE(inet.OpenURL(server.url("/page")), QString::fromUtf8(page));
    QCOMPARE(inet.OpenURL(server.url("/page"), tk::AsBytes), page);
    QCOMPARE(inet.OpenURL(server.url("/full"), tk::AsBytes), full);
    QCOMPARE(inet.OpenURL(server.url("/moved"), tk::AsBytes), page);
    QCOMPARE(server.requests(), QStringList({"/page", "/page", "/full", "/moved", "/page"}));
}

void TstNet::repliesAreJudged_data()
{
    QTest::addColumn<tk::ReplyFacts>("facts");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected"); // the redirect's address, or part of the reason
    const auto reply = [](int status, QByteArray location = {}) {
        tk::ReplyFacts facts;
        facts.status = status;
        facts.url = QUrl("http://pages.example/ads/today.html");
        facts.location = location;
        return facts;
    };
    const auto finished = [](tk::ReplyFacts facts, qint64 received, QString error = {}) {
        facts.finished = true;
        facts.receivedBytes = received;
        facts.networkError = error;
        return facts;
    };
    tk::ReplyFacts announced = reply(200);
    announced.statedBytes = tk::Inet::MaxBodyBytes + 1;
    tk::ReplyFacts movedBig = reply(302, "/big");
    movedBig.statedBytes = 50 * tk::Inet::MaxBodyBytes;
    const int Wait = tk::ReplyVerdict::Wait, Body = tk::ReplyVerdict::Body,
              Redirect = tk::ReplyVerdict::Redirect, Failure = tk::ReplyVerdict::Failure;

    QTest::newRow("error page refused before its body") << reply(404) << Failure << "HTTP 404";
    QTest::newRow("not modified is no body") << finished(reply(304), 0) << Failure << "HTTP 304";
    QTest::newRow("redirect without an address") << reply(302) << Failure << "HTTP 302";
    QTest::newRow("relative redirect resolved against the answering page")
        << reply(301, "../v/version.html") << Redirect << "http://pages.example/v/version.html";
    QTest::newRow("redirect's own length is not its target's")
        << movedBig << Redirect << "http://pages.example/big";
    QTest::newRow("redirect to a local file")
        << reply(307, "file:///etc/passwd") << Failure << "file:///etc/passwd";
    QTest::newRow("announced length past the limit, before any body")
        << announced << Failure << "内容超过 1 MiB";
    QTest::newRow("body of exactly the limit")
        << finished(reply(200), tk::Inet::MaxBodyBytes) << Body << "";
    QTest::newRow("one byte past the limit")
        << finished(reply(200), tk::Inet::MaxBodyBytes + 1) << Failure << "1 MiB";
    QTest::newRow("body still arriving") << reply(200) << Wait << "";
    QTest::newRow("connection dropped halfway")
        << finished(reply(200), 2048, "Connection closed") << Failure << "Connection closed";
    QTest::newRow("no HTTP answer at all")
        << finished(reply(0), 0) << Failure << "没有收到 HTTP 回答";
}

void TstNet::repliesAreJudged()
{
    QFETCH(tk::ReplyFacts, facts);
    QFETCH(int, kind);
    QFETCH(QString, expected);
    const tk::ReplyVerdict verdict = tk::judgeReply(facts);
    QCOMPARE(int(verdict.kind), kind);
    if (kind == tk::ReplyVerdict::Redirect)
        QCOMPARE(verdict.redirect.toString(), expected);
    else
        QVERIFY2(verdict.reason.contains(expected), qPrintable(verdict.reason));
    QCOMPARE(verdict.reason.isEmpty(), kind != tk::ReplyVerdict::Failure);
}

void TstNet::failedTransfersThrow_data()
{
    QTest::addColumn<HttpServer::Reply>("reply");
    QTest::addColumn<QString>("reason");
    const QByteArray big(5 * 1024 * 1024, 'x');
    HttpServer::Reply silent, toFile{302}, cut{200, QByteArray(4096, 'x')}, unstated{200, big},
        endless, endlessAuth{401};
    silent.silent = true;
    endless.endless = true;
    endlessAuth.endless = true;
    toFile.location = "file:///etc/passwd";
    cut.dropHalfway = true;
    unstated.statedLength = false;
    QTest::newRow("silent server times out") << silent << "秒内没有完成";
    QTest::newRow("not found") << HttpServer::Reply{404, "gone"} << "HTTP 404";
    QTest::newRow("server error") << HttpServer::Reply{500} << "HTTP 500";
    QTest::newRow("not modified is no body") << HttpServer::Reply{304} << "HTTP 304";
    QTest::newRow("one byte over 1 MiB")
        << HttpServer::Reply{200, QByteArray((1 << 20) + 1, 'x')} << "1 MiB";
    QTest::newRow("5 MB stated") << HttpServer::Reply{200, big} << "1 MiB";
    QTest::newRow("5 MB unstated") << unstated << "1 MiB";
    QTest::newRow("endless body faster than the client reads") << endless << "1 MiB";
    QTest::newRow("endless body of an authentication request") << endlessAuth << "1 MiB";
    QTest::newRow("redirect to file") << toFile << "file:///etc/passwd";
    QTest::newRow("connection dropped halfway") << cut << "";
}

void TstNet::failedTransfersThrow()
{
    QFETCH(HttpServer::Reply, reply);
    QFETCH(QString, reason);
    // The server goes first: Qt's network thread may still be taking in an endless
    // body after the verdict, and the transfer control waits for it when it goes.
    tk::Inet inet;
    HttpServer server;
    server.setReply("/page", reply);
    // Only the silent server is meant to reach the time-out; a busy machine must not
    // make the others reach it first.
    inet.setRequestTimeout(reply.silent ? 300ms : 2s);
    const QString url = server.url("/page");
    const qint64 peakBefore = peakResidentBytes();
    try {
        inet.OpenURL(url, tk::AsBytes);
        QFAIL("no error");
    } catch (const tk::Error &e) {
        QVERIFY2(e.message().contains(url) && e.message().contains(reason),
                 qPrintable(e.message()));
    }
    // The body is cut off near the limit, not buffered whole and then refused.
    const qint64 grown = peakResidentBytes() - peakBefore;
    QVERIFY2(grown < 32 * tk::Inet::MaxBodyBytes, qPrintable(QString::number(grown)));
    QVERIFY(!inet.StillExecuting());
    QCOMPARE(server.requests().size(), 1);
}

void TstNet::oneTransferAtATime()
{
    tk::Inet inet;
    for (const QString &url : {HttpServer::refusingUrl(), QString("file:///etc/passwd"),
                               QString("data:,Ver13.11.07"), QString("/etc/passwd")})
        QVERIFY_THROWS_EXCEPTION(tk::Error, inet.OpenURL(url));

    // While a slow transfer runs, timers still fire; a second transfer is refused.
    HttpServer server;
    HttpServer::Reply slow{200, "late"};
    slow.delayMs = 300;
    server.setReply("/slow", slow);
    bool busyDuringWait = false;
    QString secondError;
    QTimer::singleShot(50, [&] {
        busyDuringWait = inet.StillExecuting();
        try {
            inet.OpenURL(server.url("/slow"));
        } catch (const tk::Error &e) {
            secondError = e.message();
        }
    });
    QCOMPARE(inet.OpenURL(server.url("/slow")), QString("late"));
    QVERIFY(busyDuringWait);
    QVERIFY2(secondError.contains("上一次传输还没有结束"), qPrintable(secondError));
    QVERIFY(!inet.StillExecuting());
    QCOMPARE(server.requests().size(), 1);
}

void TstNet::handOffTakesOnlyWebAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http with query") << "http://ads.example/a?b=1&c=2" << true;
    QTest::newRow("https, Chinese host and path") << "HTTPS://例子.example/广告" << true;
    QTest::newRow("escapes, case and port as written")
        << "HTTP://Ads.EXAMPLE:80/%41%7e?q=%2F&r=%e5%b9%bf" << true;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("no host") << "http:///etc/passwd" << false;
    QTest::newRow("quote ends the address") << "http://ads.example/\" --new-window file:/" << false;
    QTest::newRow("direction override") << QString("http://ads.example/\u202Egpj.exe") << false;
}

void TstNet::handOffTakesOnlyWebAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, opened);
    const testsupport::OpenerOnPath opener;
    QCOMPARE(tk::openInBrowser(address), opened);
    if (opened)
        QTRY_COMPARE(opener.record(), "1\n" + address.toUtf8() + "\n");
    else
        QCOMPARE(opener.record(), QByteArray());
}

QTEST_MAIN(TstNet)
#include "tst_net.moc"
