#include "update/versioncheck.h"

#include <QFile>
#include <QTest>

class TstUpdate : public QObject {
    Q_OBJECT
private slots:
    void ownVersionText();
    void publishedVersion_data();
    void publishedVersion();
    void verdictForBarWidth_data();
    void verdictForBarWidth();
};

void TstUpdate::ownVersionText()
{
    QCOMPARE(tk::ownVersionText(13, 11, 6), QString("13.11.06"));
    QCOMPARE(tk::ownVersionText(1, 2, 0), QString("01.02.00"));
    QCOMPARE(tk::ownVersionText(100, 5, 123), QString("100.05.123"));
}

void TstUpdate::publishedVersion_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("version"); // null: no version found
    QTest::newRow("marker in a page") << "<html><p>Tesselkraft Ver13.11.07 下载</p>"
                                      << "13.11.07";
    QTest::newRow("marker ends the body") << "Ver13.10.01"
                                          << "13.10.01";
    QTest::newRow("Version in the markup skipped")
        << "<meta name=\"Version\" content=\"2\"><b>Ver13.11.06</b>"
        << "13.11.06";
    QTest::newRow("short marker skipped") << "Ver13.1 old, Ver13.11.08 new"
                                          << "13.11.08";
    QTest::newRow("three-digit part skipped") << "Ver13.11.067 Ver13.11.09"
                                              << "13.11.09";
    QTest::newRow("first good marker wins") << "Ver13.11.07 Ver13.11.06"
                                            << "13.11.07";
    QTest::newRow("body ends inside the version") << "<p>Ver13.11" << QString();
    QTest::newRow("lower case only") << "ver13.11.07" << QString();
    QTest::newRow("space after the marker") << "Ver 13.11.07" << QString();
    QTest::newRow("letter for a digit") << "Ver13.1a.07" << QString();
    QTest::newRow("full-width digits") << "Ver１３.１１.０７" << QString();
    QTest::newRow("empty body") << "" << QString();
    QFile sample(TK_PAGES_DIR "/version.html");
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QTest::newRow("sample page") << QString::fromUtf8(sample.readAll()) << "13.11.06";
}

void TstUpdate::publishedVersion()
{
    QFETCH(QString, body);
    QFETCH(QString, version);
    const std::optional<QString> found = tk::publishedVersion(body);
    QCOMPARE(found.has_value(), !version.isNull());
    if (found)
        QCOMPARE(*found, version);
}

void TstUpdate::verdictForBarWidth_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<bool>("fetched");
    QTest::addColumn<QString>("published");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("prompt");
    QTest::addColumn<bool>("close");
    const QString own = "13.11.06", checking = "正在检测版本信息...", same = "暂无更新",
                  offline = "网络连接失败！";
    QTest::newRow("loading keeps the caption") << 980.f << true << own << "" << false << false;
    QTest::newRow("checking from 1000") << 1000.f << true << own << checking << false << false;
    QTest::newRow("no verdict before 4000")
        << 3980.f << true << "13.11.07" << checking << false << false;
    QTest::newRow("newer: prompt") << 4000.f << true << "13.11.07" << checking << true << false;
    QTest::newRow("same: no update") << 4000.f << true << own << same << false << false;
    QTest::newRow("same: open until full") << 4640.f << true << own << same << false << false;
    QTest::newRow("same: closes when full") << 4660.f << true << own << same << false << true;
    QTest::newRow("offline: closes when full") << 4660.f << false << "" << offline << false << true;
    QTest::newRow("offline never prompts")
        << 4000.f << false << "13.11.07" << offline << false << false;
}

void TstUpdate::verdictForBarWidth()
{
    QFETCH(float, width);
    QFETCH(bool, fetched);
    QFETCH(QString, published);
    QFETCH(QString, status);
    QFETCH(bool, prompt);
    QFETCH(bool, close);
    const tk::TickVerdict verdict = tk::tickVerdict(width, fetched, "13.11.06", published);
    QCOMPARE(verdict.status, status);
    QCOMPARE(verdict.prompt, prompt);
    QCOMPARE(verdict.close, close);
}

QTEST_GUILESS_MAIN(TstUpdate)
#include "tst_update.moc"
