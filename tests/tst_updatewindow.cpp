#include "desktopstandins.h"
#include "httpserver.h"
#include "shell/form1.h"
#include "shell/platform/inet.h"
#include "shell/platform/picturebox.h"
#include "shell/update.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

using testsupport::HttpServer;

Q_DECLARE_METATYPE(HttpServer::Reply)

namespace {

const QString Loading = "载入系统文件...", Checking = "正在检测版本信息...";
// Ticks of the update window's clock: the bar is full after 233, at 4660 twips.
const int BarAndMore = 300;

// The offscreen platform can neither raise windows nor shape them; its warnings on
// every tick would bury the test's own output.
QtMessageHandler qtTestHandler = nullptr;
void dropPlatformLimits(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.startsWith("This plugin does not support"))
        qtTestHandler(type, context, text);
}

QPointer<tk::Update> openUpdateWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *update = qobject_cast<tk::Update *>(w); update && !update->isUnloaded())
            return update;
    return nullptr;
}

// What the update window showed as it closed.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(tk::Update *window) { window->installEventFilter(this); }
    bool closed = false;
    QString status;
    float width = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Close) {
            auto *window = static_cast<tk::Update *>(watched);
            closed = true;
            status = window->Label1->text();
            width = window->Picture2->Width();
        }
        return false;
    }
};

} // namespace

class TstUpdateWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qtTestHandler = qInstallMessageHandler(dropPlatformLimits); }
    void init();
    void cleanup();
    void verdicts_data();
    void verdicts();
    void failedLoadClosesSilently_data();
    void failedLoadClosesSilently();
    void okHandsThePageOverAndEnds();
    void oneCheckAtATime();
    void fetchKeepsWindowsPainting();
    void onlyBarAndStatusShow_data();
    void onlyBarAndStatusShow();

private:
    QStringList boxes() const;

    std::unique_ptr<HttpServer> m_server;
    std::unique_ptr<testsupport::WindowFixture> m_window;
    tk::Form1 *m_form = nullptr;
    testsupport::DesktopRecorder *m_desktop = nullptr;
    int m_formCloses = 0;
    bool m_fetching = false;
    int m_formPaintsDuringFetch = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_formCloses += event->type() == QEvent::Close;
        m_formPaintsDuringFetch += m_fetching && event->type() == QEvent::Paint;
        return false;
    }
};

void TstUpdateWindow::init()
{
    m_server = std::make_unique<HttpServer>();
    qputenv("TESSELKRAFT_VERSION_URL", m_server->url("/version").toUtf8());
    m_formCloses = m_formPaintsDuringFetch = 0;
    m_window = std::make_unique<testsupport::WindowFixture>();
    m_form = &m_window->form();
    m_desktop = &m_window->desktop;
    m_desktop->answer = tk::vbCancel;
    // The clock goes on while the box is open; the bar must not.
    m_desktop->whileShown = [](const tk::Message &) {
        if (const QPointer<tk::Update> window = openUpdateWindow())
            window->runTicks(10);
    };
    m_form->installEventFilter(this);
    m_window->load();
}

void TstUpdateWindow::cleanup()
{
    QVERIFY2(m_desktop->unhandled.isEmpty(), qPrintable(m_desktop->unhandled.join('\n')));
    m_window.reset();
    qApp->setStyleSheet(QString());
    m_server.reset();
}

QStringList TstUpdateWindow::boxes() const
{
    QStringList result;
    for (const tk::Message &box : m_desktop->messages)
        result << QString("%1|%2|%3").arg(box.prompt).arg(box.style).arg(box.title);
    return result;
}

void TstUpdateWindow::verdicts_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<bool>("online");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("status");
    QTest::addColumn<float>("closedAt");
    QTest::addColumn<int>("requests");
    const QByteArray same = "<title>Version</title><p>Tesselkraft Ver13.11.06</p>";
    QTest::newRow("same version") << same << true << ""
                                  << "暂无更新" << 4660.f << 1;
    QTest::newRow("newer version, Cancel")
        << QByteArray("Ver13.11.07") << true
        << "发现新版本 Ver：13.11.07 是否去官网下载最新版本？|1|更新提示：" << Checking << 4000.f
        << 1;
    QTest::newRow("older version, Cancel")
        << QByteArray("<b>Ver13.10.01</b>") << true
        << "发现新版本 Ver：13.10.01 是否去官网下载最新版本？|1|更新提示：" << Checking << 4000.f
        << 1;
    QTest::newRow("offline") << same << false << ""
                             << "网络连接失败！" << 4660.f << 0;
}

void TstUpdateWindow::verdicts()
{
    QFETCH(QByteArray, page);
    QFETCH(bool, online);
    QFETCH(QString, prompt);
    QFETCH(QString, status);
    QFETCH(float, closedAt);
    QFETCH(int, requests);
    m_server->setReply("/version", {200, page});
    m_desktop->online = online;
    m_form->Command3->click();
    const QPointer<tk::Update> window = openUpdateWindow();
    QVERIFY(window && window->isVisible());
    CloseWatcher watcher(window);
    window->runTicks(BarAndMore);
    QVERIFY(watcher.closed);
    QTRY_VERIFY(!window);
    QCOMPARE(watcher.status, status);
    QCOMPARE(watcher.width, closedAt);
    QCOMPARE(boxes(), prompt.isEmpty() ? QStringList() : QStringList{prompt});
    QCOMPARE(m_server->requests().size(), requests);
    QVERIFY(m_form->isVisible());
    QCOMPARE(m_desktop->ends, 0);
    QVERIFY(m_desktop->opened.isEmpty());
}

void TstUpdateWindow::failedLoadClosesSilently_data()
{
    // Which transfers fail is tst_net's, which pages hold no version tst_update's; one
    // of each shows the window closes on them without a word.
    QTest::addColumn<HttpServer::Reply>("reply");
    QTest::newRow("failed fetch: 404 with a version") << HttpServer::Reply(404, "Ver13.11.07");
    QTest::newRow("page without a version: lower-case marker")
        << HttpServer::Reply(200, "ver13.11.07");
}

void TstUpdateWindow::failedLoadClosesSilently()
{
    QFETCH(HttpServer::Reply, reply);
    m_server->setReply("/version", reply);
    const QPointer<tk::Update> window = new tk::Update;
    window->Show();
    QVERIFY(window->isUnloaded());
    QVERIFY(!window->isVisible());
    QCOMPARE(window->Label1->text(), Loading);
    QTRY_VERIFY(!window);
    QVERIFY(m_desktop->messages.isEmpty());
    QVERIFY(m_form->isVisible());
}

void TstUpdateWindow::okHandsThePageOverAndEnds()
{
    m_server->setReply("/version", {200, "Ver13.11.07"});
    m_desktop->answer = tk::vbOK;
    m_form->Command3->click();
    const QPointer<tk::Update> window = openUpdateWindow();
    QVERIFY(window);
    window->runTicks(BarAndMore);
    QCOMPARE(m_desktop->ends, 1);
    QCOMPARE(m_desktop->opened, QStringList{m_server->url("/version")});
    QCOMPARE(m_desktop->messages.size(), 1);
    // Every window went, without the main window's closing steps or the strip's.
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_formCloses, 0);
    QCOMPARE(openUpdateWindow(), window);
    QVERIFY(!window->isVisible());
    // Nothing runs after the end: no tick, no click.
    const float width = window->Picture2->Width();
    window->runTicks(10);
    QCOMPARE(window->Picture2->Width(), width);
    m_form->Command3->click();
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_server->requests().size(), 1);
}

void TstUpdateWindow::oneCheckAtATime()
{
    m_server->setReply("/version", {200, "Ver13.11.07"});
    m_form->Command3->click();
    const QPointer<tk::Update> first = openUpdateWindow();
    m_form->Command3->click();
    m_form->Command3->click();
    QCOMPARE(openUpdateWindow(), first);
    first->runTicks(BarAndMore);
    QTRY_VERIFY(!first);
    QCOMPARE(m_server->requests().size(), 1);
    QCOMPARE(m_desktop->messages.size(), 1);

    // After Cancel the button starts a fresh check.
    m_form->Command3->click();
    const QPointer<tk::Update> second = openUpdateWindow();
    QVERIFY(second);
    second->runTicks(BarAndMore);
    QCOMPARE(m_desktop->messages.size(), 2);
    QCOMPARE(m_server->requests().size(), 2);
}

void TstUpdateWindow::fetchKeepsWindowsPainting()
{
    HttpServer::Reply slow(200, "Ver13.11.06");
    slow.delayMs = 200;
    m_server->setReply("/version", slow);
    bool shownDuringFetch = false;
    // Once the request is in, the fetch is under way: the main window is asked to paint.
    const auto requested = connect(m_server.get(), &HttpServer::requested, this, [&] {
        const QPointer<tk::Update> window = openUpdateWindow();
        m_fetching = window && window->Inet1->StillExecuting();
        shownDuringFetch = window && window->isVisible();
        m_form->update();
    });
    m_form->Command3->click();
    m_fetching = false;
    disconnect(requested);
    QVERIFY(shownDuringFetch);
    QVERIFY(m_formPaintsDuringFetch > 0);
}

void TstUpdateWindow::onlyBarAndStatusShow_data()
{
    // Put on top of the skin that the start-up attached.
    QTest::addColumn<QString>("styleSheet");
    QTest::newRow("a skin recolours the strip")
        << "* { color: red; background: teal; border: 3px solid red; padding: 4px; margin: 2px;"
           " font: bold 20pt; image: none; }"
           "tk--PictureBox { qproperty-BackColor: teal; }"
           "#Update QLabel#Label1 { color: #24403b; background-color: #d6e4e0; }"
           "#Update tk--PictureBox#Picture2 { qproperty-BackColor: #4f8f84; }";
}

void TstUpdateWindow::onlyBarAndStatusShow()
{
    QFETCH(QString, styleSheet);
    qApp->setStyleSheet(qApp->styleSheet() + styleSheet);
    m_server->setReply("/version", {200, "Ver13.11.06"});
    m_form->Command3->click();
    const QPointer<tk::Update> window = openUpdateWindow();
    QVERIFY(window);
    window->runTicks(200); // the bar at the verdict, 4000 twips of 4650
    QCOMPARE(window->Label1->text(), QString("暂无更新"));

    const QImage shown = window->grab().toImage();
    const QRegion mask = window->mask();
    const QRect track(0, 0, 310, 17), label = window->Label1->geometry();
    // The design's colours, whatever the skin says: a yellow bar on the inactive border
    // colour, a green status line.
    const QRgb bar = qRgb(255, 255, 0), status = qRgb(0, 192, 0),
               trackColour = qApp->palette().color(QPalette::Inactive, QPalette::Mid).rgb();
    int statusPixels = 0, barPixels = 0, trackPixels = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            const QRgb colour = shown.pixel(x, y);
            const bool blue = colour == qRgb(0, 0, 255);
            const QString at = QString("%1,%2 %3").arg(x).arg(y).arg(colour, 0, 16);
            QVERIFY2(mask.contains(QPoint(x, y)) != blue, qPrintable(at));
            if (blue)
                continue;
            if (track.contains(x, y)) {
                QVERIFY2(colour == bar || colour == trackColour, qPrintable(at));
                barPixels += colour == bar;
                trackPixels += colour == trackColour;
            } else {
                QVERIFY2(label.contains(x, y) && colour == status, qPrintable(at));
                ++statusPixels;
            }
        }
    }
    QVERIFY(mask.contains(track));
    QVERIFY(barPixels > 0 && trackPixels > 0);
    QVERIFY(statusPixels > 50);
}

QTEST_MAIN(TstUpdateWindow)
#include "tst_updatewindow.moc"
