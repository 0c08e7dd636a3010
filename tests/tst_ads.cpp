#include "module1.h"

#include <QTest>

class TstAds : public QObject {
    Q_OBJECT
private slots:
    void decodeUtf8_data();
    void decodeUtf8();
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

QTEST_GUILESS_MAIN(TstAds)
#include "tst_ads.moc"
