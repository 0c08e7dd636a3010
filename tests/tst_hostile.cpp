// Hostile pictures through both load paths (the window's preview and the cutter), run
// as child processes so a hang, a crash or the peak memory shows; and the cutter's
// behaviour as a process: signals, closed and full outputs, what it prints.
#include "hostilepictures.h"
#include "modernpictures.h"
#include "processrun.h"
#include "testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <map>
#include <memory>
#include <sys/stat.h>

using namespace testsupport;
using namespace hostile;

namespace {

constexpr qint64 GiB = qint64(1) << 30;

ProcessOptions withTimeout(int ms)
{
    ProcessOptions options;
    options.timeoutMs = ms;
    return options;
}

// Every file below `folder`, hidden ones included.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

} // namespace

class TstHostile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void bothLoadPathsJudgeAlike_data();
    void bothLoadPathsJudgeAlike();
    void interruptedRunLeavesNoTemporaryFiles_data();
    void interruptedRunLeavesNoTemporaryFiles();
    void unwritableReportFailsTheRun_data();
    void unwritableReportFailsTheRun();
    void standardErrorHasOneLinePerBadPicture();
    void helpReadsAsWritten();
    void fullDiskIsNamed();
    // Last: its batches, started first, cut while the cases above run.
    void heavyBatchStaysWithinMemory_data();
    void heavyBatchStaysWithinMemory();

private:
    QString write(const QString &name, const QByteArray &bytes);
    // Cuts `pictures` copies of `bytes` in one run, `tilesEach` tiles from each.
    void startHeavyBatch(const QString &name, const QByteArray &bytes, int pictures,
                         const QByteArrayList &wall, int tilesEach);

    struct HeavyBatch {
        QString out;
        int tiles;
        std::unique_ptr<ChildProcess> cut;
    };

    QTemporaryDir m_dir;
    QByteArray m_photo;    // an ordinary baseline JPEG, 1600 × 1200
    QByteArray m_bigPhoto; // and one of 3000 × 2000
    std::map<QString, HeavyBatch> m_heavy;
    // Each picture of bothLoadPathsJudgeAlike through the window's path and the cutter's.
    QHash<QString, std::pair<ProcessRun, ProcessRun>> m_judged;
};

QString TstHostile::write(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    writeBytes(bytes, path);
    return path;
}

void TstHostile::startHeavyBatch(const QString &name, const QByteArray &bytes, int pictures,
                                 const QByteArrayList &wall, int tilesEach)
{
    const QString out = m_dir.filePath("heavy-" + QFileInfo(name).suffix());
    QByteArrayList arguments = QByteArrayList{"--quiet", "--out", QFile::encodeName(out)} + wall;
    for (int i = 0; i < pictures; ++i)
        arguments << QFile::encodeName(write(name.arg(i), bytes));
    m_heavy[name] = {out, pictures * tilesEach,
                     std::make_unique<ChildProcess>(TK_CUTTER, arguments, withTimeout(120000))};
}

void TstHostile::initTestCase()
{
    // The window's cut decodes each icon's 9000 × 9000 PNG and resamples it: 650 MB,
    // though the directory says 256 × 256. Two at once would pass 1 GiB; that a finished
    // picture hands back no more than it took is the third JPEG's.
    startHeavyBatch("heavy%1.ico", iconHolding(blankPng(QSize(9000, 9000), 4)), 2, {}, 8);
    // Each cut takes over 550 MB (the progressive coefficients and the picture, then
    // the picture and one 9000 × 9000 tile): two at once would pass 1 GiB.
    startHeavyBatch("heavy%1.jpg", greyProgressiveJpeg(9000), 3,
                    {"--grid", "1x1", "--size", "9000"}, 1);

    m_photo = jpegBytes(positionPicture(QSize(1600, 1200)), false);
    m_bigPhoto = jpegBytes(positionPicture(QSize(3000, 2000)), false);
}

void TstHostile::bothLoadPathsJudgeAlike_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("loads");
    const QImage small = positionPicture(QSize(64, 48));
    const QByteArray progressive = jpegBytes(positionPicture(QSize(800, 600)), true);
    QByteArray trailing(300000, '\0');
    for (qsizetype i = 0; i < trailing.size(); ++i)
        trailing[i] = char((i * 7919) >> 3); // holds FF DA and FF D9 pairs
    const qsizetype firstScan = progressive.indexOf("\xFF\xDA");
    const qsizetype secondScan = progressive.indexOf("\xFF\xDA", firstScan + 2);
    QStringList paths;
    const auto picture = [&](const QString &name, const QByteArray &bytes) {
        paths << write(name, bytes);
        return paths.last();
    };

    QTest::newRow("progressive photo") << picture("progressive.jpg", progressive) << true;
    QTest::newRow("video after the end") << picture("video.jpg", m_photo + trailing) << true;
    QTest::newRow("second picture appended") << picture("burst.jpg", m_photo + progressive) << true;
    QTest::newRow("stray bytes before the end marker")
        << picture("stray.jpg", m_photo.chopped(2) + QByteArray("\x00\x11\x22\xFF\xD9", 5)) << true;
    QTest::newRow("hole in the middle") << picture("hole.jpg", withHole(m_photo)) << false;
    QTest::newRow("cut in the scan")
        << picture("cut.jpg", m_photo.left(m_photo.size() * 6 / 10)) << false;
    QTest::newRow("progressive cut between scans")
        << picture("cutscans.jpg", progressive.left(secondScan)) << false;
    QTest::newRow("progressive 30000 x 30000 in 3 KB")
        << picture("bomb-progressive.jpg", claiming(jpegBytes(small, true), 30000, 30000)) << false;
    QTest::newRow("baseline 30000 x 30000 in 3 KB")
        << picture("bomb-baseline.jpg", claiming(jpegBytes(small, false), 30000, 30000)) << false;
    QTest::newRow("png 30000 x 30000") << picture("bomb.png", pngBomb(small)) << false;
    QTest::newRow("gif screen 65535 x 65535") << picture("bomb.gif", gifBomb()) << false;
    QTest::newRow("bmp 30000 x 30000 without pixels") << picture("bomb.bmp", bmpBomb()) << false;
    QTest::newRow("pgm 30000 x 30000") << picture("bomb.pgm", "P5\n30000 30000\n255\nabc") << false;
    QTest::newRow("icon holding a 14000 x 14000 png")
        << picture("bomb.ico", iconHolding(blankPng(QSize(14000, 14000), 4))) << false;
    QTest::newRow("icon holding a png larger than its entry says")
        << picture("large.ico", iconHolding(pngBytes(positionPicture(QSize(600, 400))))) << true;
    QTest::newRow("grey png 14000 x 14000, resampled through 32 bits")
        << picture("grey.png", blankPng(QSize(14000, 14000), 1)) << false;
    QTest::newRow("progressive 16000 x 16000 in 492 scans")
        << picture("scans.jpg", jpegWithManyScans(16000, 492)) << false;
    QTest::newRow("gif whose data ends after 10 pixels")
        << picture("early.gif", gifEndingEarly()) << false;

    // The newer formats: a few bytes claiming a huge picture, and a file cut short.
    using modern::TiffSpec;
    const QImage photo = positionPicture(QSize(320, 240));
    const QByteArray heic = modern::heifBytes(photo, false);
    const QByteArray avif = modern::heifBytes(photo, true);
    const QByteArray webp = modern::webpBytes(photo, false);
    const QByteArray tiff = modern::tiffBytes(photo, TiffSpec());
    QTest::newRow("heic claiming 30000 x 30000")
        << picture("bomb.heic", modern::heifClaiming(heic, 30000, 30000)) << false;
    QTest::newRow("avif claiming 30000 x 30000")
        << picture("bomb.avif", modern::heifClaiming(avif, 30000, 30000)) << false;
    QTest::newRow("webp animation on a 30000 x 30000 canvas")
        << picture("bomb.webp", modern::webpAnimation({small}, QSize(30000, 30000))) << false;
    QTest::newRow("tiff 100000 x 100000 in 130 bytes")
        << picture("bomb.tif", modern::tiffBomb(100000, 100000)) << false;
    QTest::newRow("heic cut") << picture("cut.heic", heic.left(heic.size() * 6 / 10)) << false;
    QTest::newRow("avif cut") << picture("cut.avif", avif.left(avif.size() * 6 / 10)) << false;
    QTest::newRow("webp cut") << picture("cut.webp", webp.left(webp.size() * 6 / 10)) << false;
    QTest::newRow("tiff cut") << picture("cut.tif", tiff.left(tiff.size() * 6 / 10)) << false;

    const QString fifo = m_dir.filePath("fifo.jpg");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QTest::newRow("named pipe") << fifo << false;
    const QString folder = m_dir.filePath("folder.jpg");
    QVERIFY(QDir().mkpath(folder));
    QTest::newRow("folder") << folder << false;
    paths << fifo << folder;

    // Every picture through both paths at once, a few children at a time.
    const ProcessOptions quick = withTimeout(10000);
    QList<Command> commands;
    for (const QString &path : paths) {
        const QString out = m_dir.filePath("out/" + QFileInfo(path).fileName());
        commands << Command{TK_LOADPROBE, {QFile::encodeName(path)}, quick}
                 << Command{TK_CUTTER,
                            {"--quiet", "--out", QFile::encodeName(out), QFile::encodeName(path)},
                            quick};
    }
    const QList<ProcessRun> runs = runSideBySide(commands, 4);
    for (qsizetype i = 0; i < paths.size(); ++i)
        m_judged[paths[i]] = {runs[2 * i], runs[2 * i + 1]};
}

void TstHostile::bothLoadPathsJudgeAlike()
{
    QFETCH(QString, path);
    QFETCH(bool, loads);
    QVERIFY(m_judged.contains(path));
    const auto &[window, cutter] = m_judged[path];
    QVERIFY2(!window.timedOut && window.signal == 0, window.err.constData());
    QVERIFY2(window.exitCode == (loads ? 0 : 1), window.out.constData());
    QVERIFY2(window.peakBytes < GiB, QByteArray::number(window.peakBytes >> 20).constData());

    const QString out = m_dir.filePath("out/" + QFileInfo(path).fileName());
    QVERIFY2(!cutter.timedOut && cutter.signal == 0, cutter.err.constData());
    QCOMPARE(cutter.exitCode, loads ? 0 : 1);
    QCOMPARE(cutter.err.count('\n'), loads ? 0 : 1);
    QVERIFY2(cutter.peakBytes < GiB, QByteArray::number(cutter.peakBytes >> 20).constData());
    QCOMPARE(filesBelow(out).size(), loads ? 8 : 0);
    QCOMPARE(QFileInfo::exists(out), loads);
}

void TstHostile::interruptedRunLeavesNoTemporaryFiles_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("interrupt") << SIGINT;
    QTest::newRow("terminate") << SIGTERM;
    QTest::newRow("hang-up") << SIGHUP;
    QTest::newRow("quit (Ctrl-\\)") << SIGQUIT;
}

void TstHostile::interruptedRunLeavesNoTemporaryFiles()
{
    QFETCH(int, signal);
    const QString out = m_dir.filePath(QStringLiteral("interrupted%1").arg(signal));
    QByteArrayList arguments{
        "--quiet", "--size", "1500", "--grid", "3x3", "--out", QFile::encodeName(out)};
    for (int i = 0; i < 4; ++i)
        arguments << QFile::encodeName(write(QStringLiteral("big%1.jpg").arg(i), m_bigPhoto));
    bool sent = false;
    ProcessOptions options = withTimeout(60000);
    options.whileRunning = [&](pid_t pid) {
        if (!sent && !filesBelow(out).isEmpty()) {
            ::kill(pid, signal);
            sent = true;
        }
    };
    const ProcessRun run = runProcess(TK_CUTTER, arguments, options);
    QVERIFY(sent);
    QCOMPARE(run.exitCode, 128 + signal);
    for (const QString &file : filesBelow(out)) {
        QVERIFY2(!file.contains(".part."), qPrintable(file));
        QVERIFY2(!QImage(file).isNull(), qPrintable(file));
    }
}

void TstHostile::unwritableReportFailsTheRun_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<int>("stdoutTo");
    QTest::addColumn<int>("tiles");
    const QByteArray photo = QFile::encodeName(write("report.jpg", m_photo));
    const auto out = [this](const char *name) { return QFile::encodeName(m_dir.filePath(name)); };
    QTest::newRow("help to a full device")
        << QByteArrayList{"--help"} << int(ProcessOptions::Stdout::DevFull) << 0;
    QTest::newRow("report to a full device")
        << QByteArrayList{"--out", out("full"), photo} << int(ProcessOptions::Stdout::DevFull) << 8;
    QTest::newRow("report into a closed pipe") << QByteArrayList{"--out", out("pipe"), photo}
                                               << int(ProcessOptions::Stdout::ClosedPipe) << 8;
}

void TstHostile::unwritableReportFailsTheRun()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(int, stdoutTo);
    QFETCH(int, tiles);
    ProcessOptions options;
    options.stdoutTo = ProcessOptions::Stdout(stdoutTo);
    const ProcessRun run = runProcess(TK_CUTTER, arguments, options);
    QCOMPARE(run.signal, 0);
    QVERIFY(run.exitCode != 0);
    if (tiles > 0)
        QCOMPARE(filesBelow(QFile::decodeName(arguments[1])).size(), tiles);
}

void TstHostile::standardErrorHasOneLinePerBadPicture()
{
    const QString good = write("quiet/good.jpg", m_photo);
    const QString warned =
        write("quiet/warned.png", pngWithBadTextChunk(positionPicture(QSize(90, 60))));
    const QString broken = write("quiet/two\nlines.jpg", m_photo.left(m_photo.size() / 2));
    const QString hole = write("quiet/hole.jpg", withHole(m_photo));
    // The PNG library reports a cut file on standard error itself, unless kept from it.
    const QByteArray png = pngBytes(positionPicture(QSize(300, 200)));
    const QString cut = write("quiet/cut.png", png.left(png.size() / 2));
    // So do the codecs under the newer formats, unless kept from it.
    const QByteArray avif = modern::heifBytes(positionPicture(QSize(300, 200)), true);
    const QString cutAvif = write("quiet/cut.avif", avif.left(avif.size() * 9 / 10));
    const QByteArray tiff = modern::tiffBytes(positionPicture(QSize(300, 200)), {});
    const QString cutTiff = write("quiet/cut.tif", tiff.left(tiff.size() / 2));
    const ProcessRun run = runProcess(
        TK_CUTTER, {"--quiet", QFile::encodeName(good), QFile::encodeName(warned),
                    QFile::encodeName(broken), QFile::encodeName(hole), QFile::encodeName(cut),
                    QFile::encodeName(cutAvif), QFile::encodeName(cutTiff)});
    QCOMPARE(run.exitCode, 1);
    QVERIFY(run.out.isEmpty());
    const QList<QByteArray> lines = run.err.trimmed().split('\n');
    QCOMPARE(lines.size(), 5);
    QVERIFY2(run.err.contains("two\\nlines.jpg"), run.err.constData());
    QVERIFY2(run.err.contains("hole.jpg"), run.err.constData());
    QVERIFY2(run.err.contains("cut.png"), run.err.constData());
    QCOMPARE(filesBelow(m_dir.filePath("quiet/warned")).size(), 8);
}

void TstHostile::helpReadsAsWritten()
{
    const ProcessRun run = runProcess(TK_CUTTER, {"--help"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.err.isEmpty());
    const QStringList lines = QString::fromUtf8(run.out).split('\n');
    QVERIFY2(lines.first().startsWith("用法: tesselkraft-cut"), run.out.constData());
    QCOMPARE(lines.last(), QString()); // ends with its last line
    // Each option on a line of its own, as in the text.
    for (const char *option :
         {"--out", "--size", "--grid", "--format", "--quality", "--quiet", "--help"}) {
        const auto ownLine = [option](const QString &line) {
            return line.trimmed().startsWith(QLatin1String(option));
        };
        QVERIFY2(std::count_if(lines.cbegin(), lines.cend(), ownLine) == 1, option);
    }
}

void TstHostile::fullDiskIsNamed()
{
    // A 64 KB file system of its own, in a mount namespace of its own.
    const QByteArray out = QFile::encodeName(m_dir.filePath("tiny"));
    QVERIFY(QDir().mkpath(m_dir.filePath("tiny")));
    const QByteArray script = "mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 99; "
                              "\"$0\" --size 1080 --out \"$1\" \"$2\"; status=$?; "
                              "ls -A \"$1\"; exit $status";
    const ProcessRun run =
        runProcess("/usr/bin/unshare", {"-m", "/bin/sh", "-c", script, TK_CUTTER, out,
                                        QFile::encodeName(write("large.jpg", m_photo))});
    if (run.exitCode == 99 || (run.exitCode == 1 && run.err.contains("unshare")))
        QSKIP("no permission to mount a small file system here");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("磁盘空间不足"), run.err.constData());
    QVERIFY2(!run.out.contains(".part."), run.out.constData());
}

void TstHostile::heavyBatchStaysWithinMemory_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("progressive jpegs, one 9000 x 9000 tile each") << "heavy%1.jpg";
    QTest::newRow("icons holding 9000 x 9000 pngs") << "heavy%1.ico";
}

void TstHostile::heavyBatchStaysWithinMemory()
{
    QFETCH(QString, name);
    const HeavyBatch &batch = m_heavy.at(name);
    const ProcessRun run = batch.cut->finish();
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.peakBytes < GiB, QByteArray::number(run.peakBytes >> 20).constData());
    QCOMPARE(filesBelow(batch.out).size(), batch.tiles);
}

QTEST_GUILESS_MAIN(TstHostile)
#include "tst_hostile.moc"
