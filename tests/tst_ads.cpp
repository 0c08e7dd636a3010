#include "ads/adpage.h"
#include "ads/module1.h"

#include <QFile>
#include <QTest>

namespace {

// One slot's entry in the page's usual shape.
QByteArray slot(int number, const char *state, const QByteArray &link)
{
    return "<p>广告位" + QByteArray::number(number) + "(" + state + ")<a href=\"" + link +
           "\" target=\"_blank\">看看</a></p>\n";
}

QByteArray head(const QByteArray &count, const QByteArray &masterSwitch = "开")
{
    return "<html><body>总数：" + count + "<br>总开关：" + masterSwitch + "<br>\n";
}

const QByteArray A = "http://ads.example/a", B = "https://ads.example/b?x=1&y=2",
                 C = "http://广告.example/c";

QStringList links(std::initializer_list<QByteArray> list)
{
    QStringList result;
    for (const QByteArray &link : list)
        result << QString::fromUtf8(link);
    return result;
}

// http://ads.example/<from> … /<to>
QStringList numbered(int from, int to)
{
    QStringList result;
    for (int i = from; i <= to; ++i)
        result << QStringLiteral("http://ads.example/%1").arg(i);
    return result;
}

} // namespace

class TstAds : public QObject {
    Q_OBJECT
private slots:
    void decodeUtf8_data();
    void decodeUtf8();
    void linksOfAPage_data();
    void linksOfAPage();
    void absurdCountReadsAtMostTheLimit();
    void adsOpenedEachRead_data();
    void adsOpenedEachRead();
    void samplePageOpensItsEnabledSlots();
};

void TstAds::decodeUtf8_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("no bytes") << QByteArray() << "";
    QTest::newRow("ascii") << QByteArray("abc") << "abc";
    QTest::newRow("two characters") << QByteArray("\xE6\x80\xBB\xE6\x95\xB0") << "总数";
    QTest::newRow("ill-formed in the middle")
        << QByteArray("总数\xC3(2<\xFF开") << QString("总数\uFFFD(2<\uFFFD开");
    QTest::newRow("NUL does not end the text")
        << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
}

void TstAds::decodeUtf8()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(tk::DecodeUtf8(bytes), text);
}

void TstAds::linksOfAPage_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QStringList>("opened");
    const QByteArray on3 = slot(1, "开", A) + slot(2, "开", B) + slot(3, "开", C);

    QTest::newRow("three slots on, in slot order")
        << head("3") + slot(2, "开", B) + slot(3, "开", C) + slot(1, "开", A) << links({A, B, C});
    QTest::newRow("slots off are skipped")
        << head("3") + slot(1, "关", A) + slot(2, "开", B) + slot(3, "", C) << links({B});

    QTest::newRow("switch off") << head("3", "关") + on3 << QStringList();
    QTest::newRow("switch on with a trailing space") << head("3", "开 ") + on3 << QStringList();
    QTest::newRow("switch empty") << head("3", "") + on3 << QStringList();
    QTest::newRow("switch missing") << "总数：3<br>" + on3 << QStringList();

    QTest::newRow("count 0") << head("0") + on3 << QStringList();
    QTest::newRow("count -1") << head("-1") + on3 << QStringList();
    QTest::newRow("count 2.5 rounds to 2") << head("2.5") + on3 << links({A, B});
    QTest::newRow("count 3.5 rounds to 4")
        << head("3.5") + on3 + slot(4, "开", A) << links({A, B, C, A});
    QTest::newRow("count 1.5000001 rounds up") << head("1.5000001") + on3 << links({A, B});
    QTest::newRow("count with spaces") << head(" 2 ") + on3 << links({A, B});
    QTest::newRow("count 2147483648") << head("2147483648") + on3 << QStringList();
    QTest::newRow("count abc") << head("abc") + on3 << QStringList();
    QTest::newRow("count 2abc") << head("2abc") + on3 << QStringList();
    QTest::newRow("count missing") << "总开关：开<br>" + on3 << QStringList();
    QTest::newRow("count without separator") << "总数<br>总开关：开<br>" + on3 << QStringList();

    QTest::newRow("slot 1 after slot 10 takes slot 10's entry")
        << head("10") + slot(10, "开", B) + slot(1, "开", A) << links({B, B});
    QTest::newRow("marker directly followed by )")
        << head("1") + "广告位1)(开)<a href=\"" + A + "\" target=\"_blank\">" << QStringList();
    QTest::newRow("no href after the marker")
        << head("2") + slot(2, "开", B) + "广告位1(开)<a target=\"_blank\">" << links({B});
    QTest::newRow("no target after href")
        << head("1") + "广告位1(开)<a href=\"" + A + "\">" << QStringList();
    QTest::newRow("marker twice: the first counts")
        << head("1") + slot(1, "关", A) + slot(1, "开", B) << QStringList();
    QTest::newRow("two spaces before target shift the cut")
        << head("1") + "广告位1(开)<a href=\"" + A + "\"  target=\"_blank\">" << QStringList();
    QTest::newRow("ill-formed UTF-8 between entries")
        << head("2") + slot(1, "开", A) + "\xFF\xC0\x80" + slot(2, "开", B) << links({A, B});
    QTest::newRow("links that must not open")
        << head("9") + slot(1, "开", "file:///etc/passwd") + slot(2, "开", "/usr/bin/xterm") +
               slot(3, "开", "javascript:alert(1)") + slot(4, "开", "ftp://ads.example/") +
               slot(5, "开", "http://ads.example/\" --new-window file:") +
               slot(6, "开", "http://ads.example/a b") + slot(7, "开", "http://ads.example/\x01") +
               slot(8, "开", "http:///no-host") + slot(9, "开", B)
        << links({B});
}

void TstAds::linksOfAPage()
{
    QFETCH(QByteArray, page);
    QFETCH(QStringList, opened);
    QCOMPARE(tk::linksToOpen(tk::parseAdPage(tk::DecodeUtf8(page))), opened);
}

void TstAds::absurdCountReadsAtMostTheLimit()
{
    // 150 slots on in a 1 MiB page that claims two thousand million.
    QByteArray page = head("2000000000");
    for (int i = 1; i <= 150; ++i)
        page += slot(i, "开", "http://ads.example/" + QByteArray::number(i));
    page += QByteArray((1 << 20) - page.size(), ')');
    const tk::AdPage parsed = tk::parseAdPage(tk::DecodeUtf8(page));
    QCOMPARE(parsed.SlotCount, 2000000000);
    const QStringList opened = tk::linksToOpen(parsed);
    QCOMPARE(opened.size(), tk::MaxAdSlots);
    QCOMPARE(opened.first(), QString("http://ads.example/1"));
    QCOMPARE(opened.last(), QString("http://ads.example/100"));
}

void TstAds::adsOpenedEachRead_data()
{
    QTest::addColumn<QStringList>("enabled");
    QTest::addColumn<QStringList>("openedBefore");
    QTest::addColumn<QStringList>("openedNow");
    QTest::newRow("150 ads on open five at start-up")
        << numbered(1, 150) << QStringList() << numbered(1, 5);
    QTest::newRow("closing opens the next five, none twice")
        << numbered(1, 150) << numbered(1, 5) << numbered(6, 10);
    QTest::newRow("every ad opened already") << numbered(1, 3) << numbered(1, 3) << QStringList();
    QTest::newRow("an ad in many slots opens once")
        << links({A, A, B, A, C}) << QStringList() << links({A, B, C});
    QTest::newRow("another spelling of an opened address")
        << links({"HTTP://ADS.example:80/%61", "http://ads.example/a/../a", B}) << links({A})
        << links({B});
}

void TstAds::adsOpenedEachRead()
{
    QFETCH(QStringList, enabled);
    QFETCH(QStringList, openedBefore);
    QFETCH(QStringList, openedNow);
    QCOMPARE(tk::adsToOpen(enabled, openedBefore), openedNow);
}

void TstAds::samplePageOpensItsEnabledSlots()
{
    QFile sample(TK_PAGES_DIR "/ads.html");
    QVERIFY(sample.open(QIODevice::ReadOnly));
    QCOMPARE(tk::linksToOpen(tk::parseAdPage(tk::DecodeUtf8(sample.readAll()))),
             QStringList({"https://www.tesselkraft.example/partners/1.html",
                          "https://www.tesselkraft.example/partners/3.html"}));
}

QTEST_GUILESS_MAIN(TstAds)
#include "tst_ads.moc"
