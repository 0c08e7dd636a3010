// The program as a whole: what start-up does, in which order, and how it ends.
#include "desktopstandins.h"
#include "httpserver.h"
#include "shell/form1.h"
#include "shell/platform/app.h"
#include "shell/platform/inet.h"
#include "shell/platform/lineshape.h"
#include "shell/platform/resdata.h"
#include "shell/platform/translations.h"
#include "shell/update.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <cstdio>
#include <memory>
#include <unistd.h>

using testsupport::HttpServer;
using namespace std::chrono_literals;

namespace {

const QByteArray AdPage = "总数：1<br>总开关：开<br>"
                          "广告位1(开)<a href=\"http://ads.example/one\" target=\"_blank\">1</a>";
const QStringList Companions{"VeskoSkin.dll", "Vesko.Skin",   "License.txt",
                             "ReadMe.txt",    "WhatsNew.txt", "广告合作及其协议.txt"};

// What could be seen of the program when the ad page was asked for.
struct Seen {
    int filesAsCarried = 0;
    bool skinned = false;
    bool laidOut = false;
    bool shown = false;
};

} // namespace

class TstStartup : public QObject {
    Q_OBJECT
public:
    // Before the application object: a desktop that speaks no Chinese, whatever the
    // machine running the tests speaks.
    static void initMain() { qputenv("LC_ALL", "C.UTF-8"); }
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsInOrder();
    void unwritableFoldersDoNotStopTheStart();
    void closingRunsTheAdSlotAgainThenEnds();
    void silentAdServerHoldsTheClosingAtMostItsTimeout();
    void openDialogSpeaksChinese();

private:
    // The window, not loaded yet, for a program in `folder`.
    tk::Form1 &makeWindow(const QString &folder);
    void watchAdRequests(const QString &folder);
    QString captureStderr(const std::function<void()> &run);

    QTemporaryDir m_root;
    std::unique_ptr<HttpServer> m_server;
    std::unique_ptr<testsupport::WindowFixture> m_window;
    tk::Form1 *m_form = nullptr;
    testsupport::DesktopRecorder *m_desktop = nullptr;
    QList<Seen> m_seen;
};

void TstStartup::initTestCase()
{
    tk::installChineseTranslations(*qApp); // as the program's start does
}

void TstStartup::init()
{
    qApp->setStyleSheet(QString());
    m_seen.clear();
    m_server = std::make_unique<HttpServer>();
    m_server->setReply("/ads", {200, AdPage});
    m_server->setReply("/version", {200, "Ver13.11.06"});
    qputenv("TESSELKRAFT_AD_URL", m_server->url("/ads").toUtf8());
    qputenv("TESSELKRAFT_VERSION_URL", m_server->url("/version").toUtf8());
    qputenv("XDG_DATA_HOME",
            QFile::encodeName(m_root.filePath(QTest::currentTestFunction())) + "/data");
}

void TstStartup::cleanup()
{
    if (m_window)
        QVERIFY2(m_desktop->said().isEmpty(), qPrintable(m_desktop->said().join('\n')));
    m_window.reset();
    m_server.reset();
}

tk::Form1 &TstStartup::makeWindow(const QString &folder)
{
    m_window = std::make_unique<testsupport::WindowFixture>(folder);
    m_form = &m_window->form();
    m_desktop = &m_window->desktop;
    m_desktop->answer = tk::vbCancel;
    return *m_form;
}

void TstStartup::watchAdRequests(const QString &folder)
{
    connect(m_server.get(), &HttpServer::requested, this, [this, folder](const QString &path) {
        if (path != QLatin1String("/ads"))
            return;
        Seen seen;
        for (int k = 0; k < Companions.size(); ++k) {
            QFile file(folder + "/" + Companions[k]);
            seen.filesAsCarried +=
                file.open(QIODevice::ReadOnly) && file.readAll() == tk::LoadResData(101 + k);
        }
        seen.skinned = !qApp->styleSheet().isEmpty() && m_form->Command1->graphicsEffect();
        seen.laidOut = m_form->Line1->X1() == 1485.0f && !m_form->Line1->isVisible();
        seen.shown = m_form->isVisible();
        m_seen << seen;
    });
}

QString TstStartup::captureStderr(const std::function<void()> &run)
{
    std::fflush(stderr);
    QTemporaryFile capture;
    capture.open();
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return QString::fromLocal8Bit(capture.readAll());
}

void TstStartup::startsInOrder()
{
    // Files, skin, layout, show, then the ad page: all of it stands when the page is asked.
    const QString folder = m_root.filePath("order/program");
    QDir().mkpath(folder);
    makeWindow(folder);
    watchAdRequests(folder);
    m_form->Form_Load();
    QCOMPARE(m_seen.size(), 1);
    QCOMPARE(m_seen[0].filesAsCarried, 6);
    QVERIFY(m_seen[0].skinned);
    QVERIFY(m_seen[0].laidOut);
    QVERIFY(m_seen[0].shown);
    QCOMPARE(m_desktop->opened, QStringList{"http://ads.example/one"});
}

void TstStartup::unwritableFoldersDoNotStopTheStart()
{
    // A regular file stands where a folder would have to be made.
    const QString blocked = m_root.filePath("blocked");
    QFile(blocked).open(QIODevice::WriteOnly);
    makeWindow(blocked + "/program");
    watchAdRequests(tk::App::DataPath());
    m_form->Form_Load();
    QCOMPARE(m_seen.size(), 1);
    QCOMPARE(m_seen[0].filesAsCarried, 6); // in the user's data folder
    QVERIFY(m_seen[0].skinned);

    // Neither folder: no skin, and the window still shows. Once it is up, and before the
    // ad slot, the user is told both reasons once; closing tells nothing more.
    qApp->setStyleSheet(QString());
    const QString data = blocked + "/data";
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    tk::Form1 plain;
    QList<int> adsAskedBefore;
    bool shownWhenTold = false;
    m_desktop->answer = tk::vbOK;
    m_desktop->whileShown = [&](const tk::Message &) {
        shownWhenTold = plain.isVisible();
        adsAskedBefore << int(m_seen.size());
    };
    const QString printed = captureStderr([&] { plain.Form_Load(); });
    QVERIFY(plain.isVisible());
    QVERIFY(qApp->styleSheet().isEmpty());
    QCOMPARE(printed.count(QStringLiteral("附带文件无法写出")), 1);
    QVERIFY(shownWhenTold);
    QCOMPARE(adsAskedBefore, QList<int>{1});
    QCOMPARE(m_seen.size(), 2);
    plain.close();
    m_desktop->whileShown = nullptr;
    QCOMPARE(m_desktop->ends, 1);
    QCOMPARE(m_desktop->said().size(), 1);
    const QString told = m_desktop->messages.takeFirst().prompt;
    QVERIFY2(told.startsWith(QStringLiteral("附带文件无法写出")), qPrintable(told));
    for (const QString &folder : {blocked + "/program", data})
        QVERIFY2(told.contains(folder), qPrintable(told));
}

void TstStartup::closingRunsTheAdSlotAgainThenEnds()
{
    const QString folder = m_root.filePath("close/program");
    QDir().mkpath(folder);
    makeWindow(folder);
    watchAdRequests(folder);
    m_form->Form_Load();
    m_form->Command3->click();
    QVERIFY(QTest::qWaitFor([] {
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window->objectName() == "Update" && window->isVisible())
                return true;
        return false;
    }));

    // By now the page has a second ad; the first was opened at start-up already.
    m_server->setReply("/ads", {200, QByteArray(AdPage).replace("总数：1", "总数：2") +
                                         "广告位2(开)<a href=\"http://ads.example/two\" "
                                         "target=\"_blank\">2</a>"});
    m_form->close();
    QCOMPARE(m_seen.size(), 2);
    QVERIFY(m_seen[1].shown); // the window stays while the ad slot runs
    QCOMPARE(m_desktop->ends, 1);
    for (QWidget *window : QApplication::topLevelWidgets())
        QVERIFY2(!window->isVisible(), qPrintable(window->objectName()));
    QCOMPARE(m_desktop->opened, QStringList({"http://ads.example/one", "http://ads.example/two"}));
}

void TstStartup::silentAdServerHoldsTheClosingAtMostItsTimeout()
{
    // That the ad slot gives up at its time-out is tst_guanggao's; here, that the closing
    // goes on to the end once it has.
    const QString folder = m_root.filePath("silent/program");
    QDir().mkpath(folder);
    makeWindow(folder).Form_Load();
    HttpServer::Reply silent;
    silent.silent = true;
    m_server->setReply("/ads", silent);
    m_form->Inet1->setRequestTimeout(300ms);
    m_form->close();
    QCOMPARE(m_server->requests(), QStringList({"/ads", "/ads"}));
    QCOMPARE(m_desktop->ends, 1);
}

void TstStartup::openDialogSpeaksChinese()
{
    // A folder beside a picture of a few KB and a text file: sizes, types and dates show.
    const QString folder = m_root.filePath("dialog");
    QDir().mkpath(folder + "/相册");
    testsupport::writeBytes(QByteArray(4000, 'x'), folder + "/照片.jpg");
    testsupport::writeBytes("你好\n", folder + "/说明.txt");

    // What the dialog itself writes; the names of files, folders and places are not.
    QStringList shown;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        const auto close = qScopeGuard([dialog] {
            if (dialog)
                dialog->reject();
        });
        QVERIFY(dialog);
        dialog->setViewMode(QFileDialog::Detail);
        dialog->setDirectory(folder);
        const QTreeView *view = dialog->findChild<QTreeView *>();
        QVERIFY(view);
        const QAbstractItemModel *files = view->model();
        QTRY_COMPARE(files->rowCount(view->rootIndex()), 3);
        for (int column = 0; column < files->columnCount(view->rootIndex()); ++column)
            shown << files->headerData(column, Qt::Horizontal).toString();
        for (int row = 0; row < 3; ++row)
            for (int column = 1; column < files->columnCount(view->rootIndex()); ++column)
                shown << files->index(row, column, view->rootIndex()).data().toString();
        shown << dialog->windowTitle() << dialog->nameFilters();
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            shown << label->text();
        for (const QAbstractButton *button : dialog->findChildren<QAbstractButton *>())
            shown << button->text() << button->toolTip();
        for (const QAction *action : dialog->findChildren<QAction *>())
            shown << action->text();
    });
    QCOMPARE(tk::ShowOpenDialog(nullptr), QString());

    QVERIFY(shown.contains(QStringLiteral("文件夹")));
    // Any Latin word with a small letter is English, but for the unit of sizes.
    const QRegularExpression english(QStringLiteral("\\b(?!kB\\b)[A-Za-z]*[a-z][A-Za-z]*\\b"));
    for (const QString &text : shown)
        QVERIFY2(!english.match(text).hasMatch(), qPrintable(shown.join(" | ")));
}

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
