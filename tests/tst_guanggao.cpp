#include "desktopstandins.h"
#include "httpserver.h"
#include "shell/form1.h"
#include "shell/platform/inet.h"

#include <QElapsedTimer>
#include <QTest>
#include <memory>

using testsupport::HttpServer;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(HttpServer::Reply)

namespace {

const QByteArray Page = "<html><body>总数：4<br>总开关：开<br>"
                        "广告位1(开)<a href=\"http://ads.example/1\" target=\"_blank\">1</a>"
                        "广告位2(关)<a href=\"http://ads.example/2\" target=\"_blank\">2</a>"
                        "广告位3(开)<a href=\"https://ads.example/3\" target=\"_blank\">3</a>"
                        "广告位4(开)<a href=\"javascript:alert(1)\" target=\"_blank\">4</a>";

} // namespace

class TstGuangGao : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensEnabledWebLinksInOrder();
    void noRequestWithoutAddressOrNetwork();
    void failedFetchOpensNothing_data();
    void failedFetchOpensNothing();
    void silentServerHoldsAtMostTheAdTimeout();

private:
    std::unique_ptr<HttpServer> m_server;
    std::unique_ptr<testsupport::WindowFixture> m_window;
    tk::Form1 *m_form = nullptr;
    testsupport::DesktopRecorder *m_desktop = nullptr;
};

void TstGuangGao::init()
{
    m_server = std::make_unique<HttpServer>();
    // Started without an ad page, so each case sees only its own requests.
    qputenv("TESSELKRAFT_AD_URL", "");
    m_window = std::make_unique<testsupport::WindowFixture>();
    m_form = &m_window->form();
    m_desktop = &m_window->desktop;
    m_window->load();
    qputenv("TESSELKRAFT_AD_URL", m_server->url("/ads").toUtf8());
}

void TstGuangGao::cleanup()
{
    QVERIFY2(m_desktop->said().isEmpty(), qPrintable(m_desktop->said().join('\n')));
    QCOMPARE(m_desktop->ends, 0);
    m_window.reset();
    m_server.reset();
}

void TstGuangGao::opensEnabledWebLinksInOrder()
{
    m_server->setReply("/ads", {200, Page});
    m_form->GuangGao();
    // Read again (as on closing), the page opens nothing it opened before.
    m_form->GuangGao();
    QCOMPARE(m_desktop->opened, QStringList({"http://ads.example/1", "https://ads.example/3"}));
    QCOMPARE(m_server->requests(), QStringList({"/ads", "/ads"}));
}

void TstGuangGao::noRequestWithoutAddressOrNetwork()
{
    m_server->setReply("/ads", {200, Page});
    m_desktop->online = false;
    m_form->GuangGao();
    m_desktop->online = true;
    qputenv("TESSELKRAFT_AD_URL", "");
    m_form->GuangGao();
    QVERIFY(m_server->requests().isEmpty());
    QVERIFY(m_desktop->opened.isEmpty());
}

void TstGuangGao::failedFetchOpensNothing_data()
{
    // Which transfers fail is tst_net's; one of them shows the ad slot opens nothing then,
    // not even the links of the page that came with the error.
    QTest::addColumn<HttpServer::Reply>("reply");
    QTest::newRow("500 with a page") << HttpServer::Reply(500, Page);
}

void TstGuangGao::failedFetchOpensNothing()
{
    QFETCH(HttpServer::Reply, reply);
    m_server->setReply("/ads", reply);
    m_form->GuangGao();
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(m_desktop->opened.isEmpty());
    QVERIFY(m_form->isVisible());
}

void TstGuangGao::silentServerHoldsAtMostTheAdTimeout()
{
    // The ad slot's control gives up within seconds, not the minute of other transfers;
    // that the slot waits no longer than its control says is shown on a shorter one.
    QVERIFY(m_form->Inet1->RequestTimeout() <= 5s);
    m_form->Inet1->setRequestTimeout(300ms);
    HttpServer::Reply silent;
    silent.silent = true;
    m_server->setReply("/ads", silent);
    QElapsedTimer held;
    held.start();
    m_form->GuangGao();
    QVERIFY2(held.elapsed() < 3000, qPrintable(QString::number(held.elapsed())));
    QCOMPARE(m_server->requests().size(), 1);
    QVERIFY(m_desktop->opened.isEmpty());
}

QTEST_MAIN(TstGuangGao)
#include "tst_guanggao.moc"
