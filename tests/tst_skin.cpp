#include "core/companionfiles.h"
#include "shell/form1.h"
#include "shell/platform/resdata.h"
#include "shell/platform/skinlibrary.h"
#include "skin/skinfile.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QGraphicsEffect>
#include <QLibrary>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <lzma.h>
#include <sys/stat.h>

using namespace testsupport;
using tk::SkinFault;

namespace {

// What else stands in the folder of the companion files.
enum class Oddity { None, SkinIsPipe, LibraryIsPipe, DecoyInSubfolders };

quint32 declaredSize(const QByteArray &file)
{
    return quint8(file[6]) | quint8(file[7]) << 8 | quint8(file[8]) << 16 |
           quint32(quint8(file[9])) << 24;
}

QByteArray withDeclaredSize(QByteArray file, quint32 size)
{
    for (int i = 0; i < 4; ++i)
        file[6 + i] = char((size >> (8 * i)) & 0xFF);
    return file;
}

// The same content packed with an end marker after the last byte.
QByteArray packedWithEndMarker(const QByteArray &content)
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 6);
    options.dict_size = 8u << 20;
    options.ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
    lzma_set_ext_size(options, quint64(content.size()));
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    lzma_stream stream = LZMA_STREAM_INIT;
    QByteArray out(content.size() * 2 + 1024, '\0');
    if (lzma_raw_encoder(&stream, filters) != LZMA_OK)
        return {};
    stream.next_in = reinterpret_cast<const uint8_t *>(content.constData());
    stream.avail_in = size_t(content.size());
    stream.next_out = reinterpret_cast<uint8_t *>(out.data());
    stream.avail_out = size_t(out.size());
    const lzma_ret ret = lzma_code(&stream, LZMA_FINISH);
    out.truncate(qsizetype(stream.total_out));
    lzma_end(&stream);
    return ret == LZMA_STREAM_END ? tk::packSkin(content).left(tk::SkinHeaderSize) + out
                                  : QByteArray();
}

QByteArray sampleContent()
{
    QByteArray content;
    for (int i = 0; content.size() < 3000; ++i)
        content += "QPushButton#b" + QByteArray::number(i) + " { color: #24403b; }\n";
    return content;
}

QByteArray shippedStyleSheet()
{
    return readBytes(QStringLiteral(TK_SKIN_SOURCE));
}

void makePipe(const QString &path)
{
    QFile::remove(path);
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
}

} // namespace

Q_DECLARE_METATYPE(tk::SkinFault)
Q_DECLARE_METATYPE(Oddity)

class TstSkin : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void shippedSkinUnpacksToItsSource();
    void badSkinFilesAreRefused_data();
    void badSkinFilesAreRefused();
    void attachRestylesOrLeavesTheDefaultLook_data();
    void attachRestylesOrLeavesTheDefaultLook();
    void setAeroReachesTheWindowByItsHandle();
};

void TstSkin::cleanup()
{
    qApp->setStyleSheet(QString());
}

void TstSkin::shippedSkinUnpacksToItsSource()
{
    const QByteArray skin = tk::LoadResData(102);
    QVERIFY(skin.size() > tk::SkinHeaderSize);
    QCOMPARE(skin.left(4), QByteArray(".SHE"));
    QCOMPARE(skin.mid(4, 2), QByteArray("\x00\x03", 2));
    QCOMPARE(skin.mid(10, 5), QByteArray("\x5D\x00\x00\x80\x00", 5));
    QByteArray content;
    QCOMPARE(tk::unpackSkin(skin, content), SkinFault::None);
    QCOMPARE(quint32(content.size()), declaredSize(skin));
    QCOMPARE(content, shippedStyleSheet());
}

void TstSkin::badSkinFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<SkinFault>("fault");
    const QByteArray good = tk::packSkin(sampleContent());
    const quint32 size = declaredSize(good);
    const auto changed = [&](int at, char value) {
        QByteArray file = good;
        file[at] = value;
        return file;
    };

    QTest::newRow("a good file") << good << SkinFault::None;
    QTest::newRow("empty") << QByteArray() << SkinFault::TooShort;
    QTest::newRow("header cut short") << good.left(14) << SkinFault::TooShort;
    QTest::newRow("header without stream") << good.left(15) << SkinFault::Stream;
    QTest::newRow("stream cut in half")
        << good.left(15 + (good.size() - 15) / 2) << SkinFault::Stream;
    QTest::newRow("stream lacks its last byte") << good.chopped(1) << SkinFault::Stream;
    QTest::newRow("a byte after the stream") << good + 'x' << SkinFault::Stream;
    QTest::newRow("wrong magic") << changed(1, 'X') << SkinFault::Magic;
    QTest::newRow("other format field") << changed(5, 0x04) << SkinFault::Format;
    QTest::newRow("size zero") << withDeclaredSize(good, 0) << SkinFault::Size;
    QTest::newRow("size over the limit")
        << withDeclaredSize(good, tk::SkinMaxUnpacked + 1) << SkinFault::Size;
    QTest::newRow("size 4 GiB - 1") << withDeclaredSize(good, 0xFFFFFFFFu) << SkinFault::Size;
    QTest::newRow("size one short") << withDeclaredSize(good, size - 1) << SkinFault::Stream;
    QTest::newRow("size one more") << withDeclaredSize(good, size + 1) << SkinFault::Stream;
    QTest::newRow("other lc lp pb") << changed(10, 0x5E) << SkinFault::Properties;
    QTest::newRow("other dictionary") << changed(13, 0x40) << SkinFault::Properties;
    QTest::newRow("stream with end marker")
        << packedWithEndMarker(sampleContent()) << SkinFault::Stream;
    QTest::newRow("stream byte flipped")
        << changed(good.size() / 2, char(good[good.size() / 2] ^ 0x55)) << SkinFault::Stream;
}

void TstSkin::badSkinFilesAreRefused()
{
    QFETCH(QByteArray, file);
    QFETCH(SkinFault, fault);
    QByteArray content("left over");
    QCOMPARE(tk::unpackSkin(file, content), fault);
    QCOMPARE(content, fault == SkinFault::None ? sampleContent() : QByteArray());
}

void TstSkin::attachRestylesOrLeavesTheDefaultLook_data()
{
    QTest::addColumn<QByteArray>("library"); // null for the library the program carries
    QTest::addColumn<QByteArray>("skin");    // null for no skin file at all
    QTest::addColumn<Oddity>("oddity");
    QTest::addColumn<bool>("skinned");
    const QByteArray shipped = tk::LoadResData(102);
    QByteArray flipped = shipped;
    flipped[shipped.size() / 2] = char(flipped[shipped.size() / 2] ^ 0x55);

    const Oddity none = Oddity::None;
    QTest::newRow("our skin") << QByteArray() << shipped << none << true;
    QTest::newRow("no skin file") << QByteArray() << QByteArray() << none << false;
    QTest::newRow("truncated skin") << QByteArray() << shipped.chopped(16) << none << false;
    QTest::newRow("corrupt skin") << QByteArray() << flipped << none << false;
    QTest::newRow("skin that is no text")
        << QByteArray() << tk::packSkin(QByteArray("QWidget { color: red }\xFF\xFE", 24)) << none
        << false;
    QTest::newRow("skin that is a named pipe does not hang")
        << QByteArray() << QByteArray() << Oddity::SkinIsPipe << false;
    QTest::newRow("library that is a text file")
        << QByteArray("not a library\n") << shipped << none << false;
    QTest::newRow("library that is an empty file") << QByteArray("") << shipped << none << false;
    QTest::newRow("library that is a named pipe does not hang")
        << QByteArray() << shipped << Oddity::LibraryIsPipe << false;
    QTest::newRow("foreign library in a platform subfolder is not loaded")
        << QByteArray() << shipped << Oddity::DecoyInSubfolders << true;
}

void TstSkin::attachRestylesOrLeavesTheDefaultLook()
{
    QFETCH(QByteArray, library);
    QFETCH(QByteArray, skin);
    QFETCH(Oddity, oddity);
    QFETCH(bool, skinned);
    QTemporaryDir folder;
    QCOMPARE(tk::writeCompanionFiles(folder.path(), QString(), tk::LoadResData).folder,
             folder.path());
    if (!library.isNull())
        writeBytes(library, tk::skinLibraryPath(folder.path()));
    QFile::remove(tk::skinFilePath(folder.path()));
    if (!skin.isNull())
        writeBytes(skin, tk::skinFilePath(folder.path()));
    if (oddity == Oddity::SkinIsPipe)
        makePipe(tk::skinFilePath(folder.path()));
    if (oddity == Oddity::LibraryIsPipe)
        makePipe(tk::skinLibraryPath(folder.path()));
    const QString trace = folder.filePath("decoy-loaded");
    qputenv("TK_DECOY_TRACE", QFile::encodeName(trace));
    // Where a library loader might look for a variant built for this machine.
    if (oddity == Oddity::DecoyInSubfolders) {
        for (const char *sub : {"haswell", "x86_64", "tls"}) {
            QVERIFY(QDir(folder.path()).mkdir(sub));
            QVERIFY(QFile::copy(TK_DECOY_LIBRARY,
                                folder.filePath(sub) + QStringLiteral("/VeskoSkin.dll")));
        }
    }

    tk::Form1 form;
    const QImage before = form.grab().toImage();
    const tk::SkinLibrary skinLibrary(folder.path());
    QCOMPARE(skinLibrary.isLoaded(), library.isNull() && oddity != Oddity::LibraryIsPipe);
    skinLibrary.SkinH_AttachEx(tk::skinFilePath(folder.path()), QString());
    const QImage after = form.grab().toImage();

    QVERIFY(!QFileInfo::exists(trace));
    QCOMPARE(qApp->styleSheet().toUtf8(), skinned ? shippedStyleSheet() : QByteArray());
    QCOMPARE(after == before, !skinned);
}

void TstSkin::setAeroReachesTheWindowByItsHandle()
{
    QTemporaryDir folder;
    tk::writeCompanionFiles(folder.path(), QString(), tk::LoadResData);
    const tk::SkinLibrary skin(folder.path());
    QVERIFY2(skin.isLoaded(), qPrintable(skin.errorString()));
    tk::Form1 form;
    tk::Form1 other;
    skin.SkinH_SetAero(&form);
    for (QPushButton *button : form.findChildren<QPushButton *>())
        QVERIFY2(button->graphicsEffect(), qPrintable(button->objectName()));
    for (QPushButton *button : other.findChildren<QPushButton *>())
        QVERIFY(!button->graphicsEffect());

    // A handle that names no window is answered with a refusal, not a crash.
    QLibrary library(tk::skinLibraryPath(folder.path()));
    const auto setAero = reinterpret_cast<int32_t (*)(int32_t)>(library.resolve("SkinH_SetAero"));
    QVERIFY(setAero);
    QVERIFY(setAero(0) != 0);
    QVERIFY(setAero(0x7FFFFFF0) != 0);
}

QTEST_MAIN(TstSkin)
#include "tst_skin.moc"
