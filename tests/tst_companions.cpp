#include "core/companionfiles.h"
#include "shell/platform/app.h"
#include "shell/platform/resdata.h"
#include "testsupport.h"

#include <QDir>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

// What each resource must hold, read from where the build took it.
QString sourceOf(int number)
{
    switch (number) {
    case 101:
        return QStringLiteral(TK_SKIN_LIBRARY_FILE);
    case 102:
        return QStringLiteral(TK_SKIN_FILE);
    default:
        return QStringLiteral(TK_RESOURCES_DIR "/") +
               QString::fromUtf8(tk::CompanionFiles[std::size_t(number - 101)].name);
    }
}

QStringList namesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList allNames()
{
    QStringList names;
    for (const tk::CompanionFile &file : tk::CompanionFiles)
        names << QString::fromUtf8(file.name);
    return names;
}

// Strict GBK: every byte over 0x7F starts a valid two-byte pair. The ICU decoder
// alone would map invalid pairs to private-use characters without an error.
QString decodeGbk(const QByteArray &bytes, bool &ok)
{
    ok = true;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto lead = quint8(bytes[i]);
        if (lead < 0x80)
            continue;
        const auto trail = i + 1 < bytes.size() ? quint8(bytes[i + 1]) : 0;
        if (lead == 0x80 || lead == 0xFF || trail < 0x40 || trail == 0x7F || trail == 0xFF)
            ok = false;
        ++i;
    }
    QStringDecoder decoder("GBK");
    const QString text = decoder(bytes);
    for (QChar c : text) {
        if (c == QChar::ReplacementCharacter || c.category() == QChar::Other_PrivateUse)
            ok = false;
    }
    return text;
}

} // namespace

class TstCompanions : public QObject {
    Q_OBJECT
private slots:
    void firstStartWritesAllSixInOrder();
    void laterStartsTouchNothingPresent_data();
    void laterStartsTouchNothingPresent();
    void unwritableFolderFallsBack_data();
    void unwritableFolderFallsBack();
    void documentsKeepTheirForm_data();
    void documentsKeepTheirForm();
    void versionHistoryEntries();
    void iconIsOne256ColourImage();

private:
    // LoadResData, noting which numbers were read.
    QByteArray resource(int number)
    {
        m_read << number;
        return tk::LoadResData(number);
    }
    tk::CompanionOutcome start(const QString &program, const QString &data)
    {
        m_read.clear();
        return tk::writeCompanionFiles(program, data, [this](int n) { return resource(n); });
    }

    QList<int> m_read;
};

void TstCompanions::firstStartWritesAllSixInOrder()
{
    QTemporaryDir program;
    const tk::CompanionOutcome outcome = start(program.path(), QString());
    QCOMPARE(outcome.folder, program.path());
    QVERIFY(outcome.failure.isEmpty());
    QCOMPARE(m_read, QList<int>({101, 102, 103, 104, 105, 106}));
    QStringList expected;
    for (const QString &name : allNames())
        expected << program.filePath(name);
    QCOMPARE(outcome.written, expected);
    // Nothing else is left behind, not even a hidden temporary file.
    QStringList present = namesIn(program.path()), names = allNames();
    present.sort();
    names.sort();
    QCOMPARE(present, names);

    for (const tk::CompanionFile &file : tk::CompanionFiles) {
        const QByteArray written = readBytes(program.filePath(QString::fromUtf8(file.name)));
        const QByteArray source = readBytes(sourceOf(file.number));
        QVERIFY2(!source.isEmpty(), qPrintable(sourceOf(file.number)));
        QVERIFY2(written == source, file.name);
        QVERIFY2(tk::LoadResData(file.number) == source, file.name);
    }
}

void TstCompanions::laterStartsTouchNothingPresent_data()
{
    QTest::addColumn<QString>("edited");  // a file the user changed before this start
    QTest::addColumn<QString>("deleted"); // a file the user removed
    const QString licence = QStringLiteral("License.txt");
    const QString terms = QStringLiteral("广告合作及其协议.txt");
    const QString skin = QStringLiteral("Vesko.Skin");
    QTest::newRow("second start writes nothing") << QString() << QString();
    QTest::newRow("edited licence keeps its text") << licence << QString();
    QTest::newRow("replaced skin stays") << skin << QString();
    QTest::newRow("deleted ad terms come back alone") << QString() << terms;
    QTest::newRow("deleted library comes back alone") << licence << QStringLiteral("VeskoSkin.dll");
}

void TstCompanions::laterStartsTouchNothingPresent()
{
    QFETCH(QString, edited);
    QFETCH(QString, deleted);
    QTemporaryDir program;
    start(program.path(), QString());
    const QByteArray mine("edited by the user\r\n");
    if (!edited.isEmpty())
        writeBytes(mine, program.filePath(edited));
    if (!deleted.isEmpty())
        QVERIFY(QFile::remove(program.filePath(deleted)));

    const tk::CompanionOutcome outcome = start(program.path(), QString());
    QCOMPARE(outcome.folder, program.path());
    const QStringList expected =
        deleted.isEmpty() ? QStringList() : QStringList{program.filePath(deleted)};
    QCOMPARE(outcome.written, expected);
    QCOMPARE(m_read.size(), expected.size());
    if (!edited.isEmpty())
        QCOMPARE(readBytes(program.filePath(edited)), mine);
    if (!deleted.isEmpty()) {
        const int number = 101 + int(allNames().indexOf(deleted));
        QCOMPARE(readBytes(program.filePath(deleted)), readBytes(sourceOf(number)));
    }
    QCOMPARE(namesIn(program.path()).size(), 6);
}

void TstCompanions::unwritableFolderFallsBack_data()
{
    QTest::addColumn<bool>("dataWritable");
    QTest::addColumn<bool>("someAlreadyThere"); // the data folder holds files of an earlier start
    QTest::newRow("data folder takes all six") << true << false;
    QTest::newRow("data folder keeps what it has") << true << true;
    QTest::newRow("neither folder: reported once") << false << false;
}

void TstCompanions::unwritableFolderFallsBack()
{
    QFETCH(bool, dataWritable);
    QFETCH(bool, someAlreadyThere);
    QTemporaryDir root;
    // The program "folder" is a regular file: nothing can be written under it, even by root.
    const QString program = root.filePath(QStringLiteral("program"));
    writeBytes("not a folder", program);
    const QString data = dataWritable ? root.filePath(QStringLiteral("home/.local/tesselkraft"))
                                      : root.filePath(QStringLiteral("program/data"));
    const QByteArray mine("an earlier start's licence");
    if (someAlreadyThere) {
        QVERIFY(QDir().mkpath(data));
        writeBytes(mine, data + QStringLiteral("/License.txt"));
    }

    const tk::CompanionOutcome outcome = start(program, data);
    if (!dataWritable) {
        QVERIFY(outcome.folder.isEmpty());
        QVERIFY(!outcome.failure.isEmpty());
        QVERIFY(outcome.written.isEmpty());
        return;
    }
    QCOMPARE(outcome.folder, data);
    QVERIFY(outcome.failure.isEmpty());
    QCOMPARE(namesIn(data).size(), 6);
    QCOMPARE(outcome.written.size(), someAlreadyThere ? 5 : 6);
    QCOMPARE(readBytes(tk::skinLibraryPath(outcome.folder)), readBytes(sourceOf(101)));
    QCOMPARE(readBytes(tk::skinFilePath(outcome.folder)), readBytes(sourceOf(102)));
    if (someAlreadyThere)
        QCOMPARE(readBytes(data + QStringLiteral("/License.txt")), mine);
}

void TstCompanions::documentsKeepTheirForm_data()
{
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("firstLine");
    QTest::newRow("licence") << 103 << 31 << QStringLiteral("Tesselkraft软件最终用户授权协议");
    QTest::newRow("read-me") << 104 << 14 << QStringLiteral("软件简介：");
    QTest::newRow("version history") << 105 << 24 << QString();
    QTest::newRow("ad terms") << 106 << 28 << QStringLiteral("联系方法：");
}

void TstCompanions::documentsKeepTheirForm()
{
    QFETCH(int, number);
    QFETCH(int, lines);
    QFETCH(QString, firstLine);
    const QByteArray bytes = tk::LoadResData(number);
    QVERIFY(!bytes.contains('\0'));
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!bytes.endsWith('\n') && !bytes.endsWith('\r'));
    QCOMPARE(bytes.count('\r'), bytes.count('\n'));
    QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));

    bool ok = false;
    const QString text = decodeGbk(bytes, ok);
    QVERIFY2(ok, "not plain GBK");
    const QStringList all = text.split(QStringLiteral("\r\n"));
    QCOMPARE(all.size(), lines);
    QVERIFY(all.first().startsWith(firstLine));

    // The contact block: a frame of seven lines drawn with ▓, at the very end.
    const QChar shade(0x2593);
    const QStringList block = all.mid(lines - 7);
    for (const QString &edge : {block.first(), block.last()})
        QVERIFY2(!edge.isEmpty() && edge.count(shade) == edge.size(), qPrintable(edge));
    for (const QString &inner : block.mid(1, 5))
        QVERIFY2(inner.startsWith(shade) && inner.endsWith(shade), qPrintable(inner));
    QVERIFY(text.endsWith(shade));
}

void TstCompanions::versionHistoryEntries()
{
    bool ok = false;
    const QStringList lines = decodeGbk(tk::LoadResData(105), ok).split(QStringLiteral("\r\n"));
    QStringList versions;
    int rules = 0;
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1String("Ver")))
            versions << line;
        if (line == QString(38, QLatin1Char('=')))
            ++rules;
    }
    const QStringList expected{QStringLiteral("Ver13.11.06"), QStringLiteral("Ver13.05.22"),
                               QStringLiteral("Ver13.04.20"), QStringLiteral("Ver13.01.24")};
    QCOMPARE(versions, expected);
    QCOMPARE(rules, 4);
    // Each entry's changes are numbered "1," "2," … from one.
    for (const QString &version : expected) {
        int at = int(lines.indexOf(version)) + 1, n = 1;
        for (; lines.at(at) != QString(38, QLatin1Char('=')); ++at, ++n)
            QVERIFY2(lines.at(at).startsWith(QStringLiteral("%1,").arg(n)),
                     qPrintable(lines.at(at)));
        QVERIFY2(n > 1, qPrintable(version));
    }
}

void TstCompanions::iconIsOne256ColourImage()
{
    QFile icon(QStringLiteral(":/icons/tesselkraft.ico"));
    QVERIFY(icon.open(QIODevice::ReadOnly));
    const QByteArray ico = icon.readAll();
    QVERIFY(ico.size() >= 22);
    const auto u16 = [&](int at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
    QCOMPARE(u16(2), 1); // an icon
    QCOMPARE(u16(4), 1); // one image
    QCOMPARE(quint8(ico[6]), 32);
    QCOMPARE(quint8(ico[7]), 32);
    QCOMPARE(quint8(ico[8]), 0); // 256 colours
    QCOMPARE(u16(12), 8);        // bits per pixel
    const int size = u16(14) | u16(16) << 16, offset = u16(18) | u16(20) << 16;
    QCOMPARE(offset + size, ico.size());
    QCOMPARE(size, 40 + 256 * 4 + 32 * 32 + 32 * 4); // header, palette, pixels, mask
    QCOMPARE(QImage::fromData(ico).size(), QSize(32, 32));
}

QTEST_GUILESS_MAIN(TstCompanions)
#include "tst_companions.moc"
