#include "cli/cutter.h"
#include "core/picture.h"
#include "core/picturereader.h"
#include "core/systemerror.h"
#include "core/tempfiles.h"
#include "desktopstandins.h"
#include "hostilepictures.h"
#include "processrun.h"
#include "shell/form1.h"
#include "testsupport.h"
#include "tiles/picturecut.h"
#include "tiles/resample.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testsupport;

namespace {

struct Run {
    int status;
    QString out, err;
};

Run cut(QByteArrayList arguments)
{
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    arguments.prepend("tesselkraft-cut");
    const int status = tk::runCutter(arguments, outStream, errStream);
    return {status, out, err};
}

Run cut(const QStringList &arguments)
{
    QByteArrayList native;
    for (const QString &argument : arguments)
        native << QFile::encodeName(argument);
    return cut(native);
}

// Every file below `folder`, hidden ones included.
QStringList filesBelow(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    return files;
}

// Creates a file whose name is given as bytes, valid text or not.
bool writeNative(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool written =
        fd >= 0 && ::write(fd, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
    return ::close(fd) == 0 && written;
}

// Smooth waves of a few dozen pixels: resampling at different resolutions agrees on
// them, while a region off by a few pixels does not.
QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    const double kx = 2 * M_PI * 20 / size.width(), ky = 2 * M_PI * 10 / size.height();
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           qRgb(int(128 + 100 * std::sin(kx * x)),
                                int(128 + 100 * std::sin(ky * y)),
                                (x + y) * 255 / (size.width() + size.height())));
    return image;
}

// `jpeg` with the Exif block a camera writes to record how the picture is turned, by
// its orientation number (1 to 8).
QByteArray withOrientation(const QByteArray &jpeg, int orientation)
{
    QByteArray exif("Exif\0\0II*\0\x08\0\0\0", 14); // little-endian, first directory at 8
    exif += QByteArray("\x01\0\x12\x01\x03\0\x01\0\0\0", 10); // one entry: orientation, one short
    exif += char(orientation);
    exif += QByteArray(7, '\0'); // the short's padding, no next directory
    const int length = int(exif.size()) + 2;
    return jpeg.left(2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + exif + jpeg.mid(2);
}

double meanDifference(const QImage &a, const QImage &b)
{
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace

class TstCutter : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tk::setUpPictureReading(); } // as the programs do at start
    void defaultTilesAreTheWindowsTiles_data();
    void defaultTilesAreTheWindowsTiles();
    void fullResolutionShowsTheWindowsRegions();
    void exifTurnedPicturesAreCutUpright();
    void fullResolutionTilesAreTheirRegionsResampled_data();
    void fullResolutionTilesAreTheirRegionsResampled();
    void otherGridsCoverThePicture();
    void everyPixelFormatInEveryGrid_data();
    void everyPixelFormatInEveryGrid();
    void badPictureDoesNotStopTheBatch();
    void picturesSharingAFolderGetOneEach();
    void inputsAreNeverOverwritten();
    void sameNamesInABatchNeverShareAFolder();
    void folderNamesStayInside_data();
    void folderNamesStayInside();
    void linksBelowTheBaseAreNeverFollowed_data();
    void linksBelowTheBaseAreNeverFollowed();
    void foldersLeftEmptyAreRemoved();
    void namesThatAreNotText();
    void usageErrors_data();
    void usageErrors();

private:
    QString picture(const QString &name, const QImage &image);
    QTemporaryDir m_dir;
};

QString TstCutter::picture(const QString &name, const QImage &image)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    writeImage(image, path, nullptr, 92);
    return path;
}

void TstCutter::defaultTilesAreTheWindowsTiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sourceDotsPerMeter");
    QTest::addColumn<bool>("fullResolution");
    QTest::newRow("window's cut, cutter without a screen") << "photo.jpg" << 3780 << false;
    QTest::newRow("full resolution, density from a 300 dpi picture")
        << "print.png" << 11811 << true;
}

void TstCutter::defaultTilesAreTheWindowsTiles()
{
    QFETCH(QString, name);
    QFETCH(int, sourceDotsPerMeter);
    QFETCH(bool, fullResolution);
    const QString within = "same/" + QFileInfo(name).completeBaseName();
    const QString folder = m_dir.filePath(within);
    QImage image = photoLike(fullResolution ? QSize(800, 400) : QSize(1200, 900));
    image.setDotsPerMeterX(sourceDotsPerMeter);
    image.setDotsPerMeterY(sourceDotsPerMeter);
    const QString source = picture(within + "/" + name, image);
    {
        WindowFixture window(folder);
        window.desktop.chosenFile = source;
        window.load();
        window->Command1_Click();
        fullResolution ? window->cutHighResolution() : window->Command2_Click();
        QCOMPARE(window.desktop.titles(), QStringList{"恭喜:"});
    }

    // The cutter as its user runs it: a process of its own, with no screen.
    QByteArrayList arguments{"--quiet", "--out", QFile::encodeName(folder + "/cli")};
    if (fullResolution)
        arguments << "--size"
                  << "1080";
    const ProcessRun run = runProcess(TK_CUTTER, arguments << QFile::encodeName(source));
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    for (int k = 1; k <= 8; ++k) {
        const QString tile = QString("/%1.jpg").arg(k);
        const QByteArray window = readBytes(folder + tile);
        QVERIFY(!window.isEmpty());
        QCOMPARE(readBytes(folder + "/cli" + tile), window);
        // 96 dpi, the window's logical pixel, whatever the picture said.
        QCOMPARE(qRound(QImage(folder + tile).dotsPerMeterX() * 0.0254), 96);
    }
}

void TstCutter::fullResolutionShowsTheWindowsRegions()
{
    const QString source = picture("full/photo.png", photoLike(QSize(2400, 1200)));
    QCOMPARE(cut({"--quiet", "--out", m_dir.filePath("full/small"), source}).status, 0);
    QCOMPARE(cut({"--quiet", "--size", "600", "--out", m_dir.filePath("full/big"), source}).status,
             0);
    for (int k = 1; k <= 8; ++k) {
        const QImage big(m_dir.filePath(QString("full/big/%1.jpg").arg(k)));
        QCOMPARE(big.size(), QSize(600, 600));
        const QImage shrunk = big.scaled(146, 146, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage window(m_dir.filePath(QString("full/small/%1.jpg").arg(k)));
        const double same = meanDifference(shrunk, window);
        QVERIFY2(same < 3.0, qPrintable(QString("tile %1 differs by %2").arg(k).arg(same)));
        // The comparison would notice a region three pixels off.
        const double shifted =
            meanDifference(shrunk.copy(3, 3, 140, 140), window.copy(0, 0, 140, 140));
        QVERIFY2(shifted > 3 * same + 3, qPrintable(QString("tile %1: %2").arg(k).arg(shifted)));
    }
}

void TstCutter::exifTurnedPicturesAreCutUpright()
{
    // Stored sideways with "turn 90° clockwise": upright it is the 4 × 2 grid.
    const QImage upright = gridPicture(QSize(800, 400), 4, 2);
    const QString path = m_dir.filePath("turned/photo.jpg");
    QDir().mkpath(m_dir.filePath("turned"));
    QImageWriter writer(path);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(upright.transformed(QTransform().rotate(-90))));

    for (const QString &size : QStringList{"0", "300"}) {
        const QString out = m_dir.filePath("turned/size" + size);
        QStringList args{"--quiet", "--out", out, path};
        if (size != "0")
            args << "--size" << size;
        QCOMPARE(cut(args).status, 0);
        for (int k = 1; k <= 8; ++k) {
            const QImage tile(out + QString("/%1.jpg").arg(k));
            const QColor centre = tile.pixelColor(tile.width() / 2, tile.height() / 2);
            QVERIFY2(
                sameColour(centre, cellColour(k - 1), 16),
                qPrintable(QString("size %1 tile %2: %3").arg(size).arg(k).arg(centre.name())));
        }
    }
}

void TstCutter::fullResolutionTilesAreTheirRegionsResampled_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("upright, cut while it decodes") << 1;
    QTest::newRow("turned a quarter (a phone's portrait)") << 6;
    QTest::newRow("turned three quarters") << 8;
    QTest::newRow("upside down") << 3;
    QTest::newRow("mirrored") << 2;
    QTest::newRow("mirrored across the diagonal") << 5;
}

void TstCutter::fullResolutionTilesAreTheirRegionsResampled()
{
    // Each tile against its region of the picture as the reader turns it upright whole,
    // resampled alone: the tiles made as the rows come in, in the stored orientation, and
    // turned one by one must show the same.
    QFETCH(int, orientation);
    const QString path = m_dir.filePath(QString("regions/%1.jpg").arg(orientation));
    QDir().mkpath(m_dir.filePath("regions"));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(photoLike(QSize(1600, 1200)).save(&buffer, "jpeg", 95));
    writeBytes(withOrientation(jpeg, orientation), path);
    const QString out = m_dir.filePath(QString("regions/%1").arg(orientation));
    QCOMPARE(cut({"--quiet", "--grid", "2x2", "--size", "300", "--format", "png", "--out", out, path})
                 .status,
             0);

    tk::Wall wall;
    wall.columns = wall.rows = 2;
    wall.tileSize = 300;
    tk::PictureReader reader(path);
    const QSize size = tk::planPictureWall(reader, wall).decodeSize;
    QVERIFY(size.width() < reader.size().width()); // decoded smaller, by eighths
    const QImage picture = reader.read(size);
    const QList<QRectF> regions = tk::wallRegions(2, 2);
    for (int k = 0; k < 4; ++k) {
        const QRectF &r = regions[k];
        const QImage want = tk::resampleRegion(
            picture,
            QRectF(r.x() * size.width(), r.y() * size.height(), r.width() * size.width(),
                   r.height() * size.height()),
            QSize(300, 300));
        const QImage tile = QImage(out + QString("/%1.png").arg(k + 1)).convertToFormat(want.format());
        const int diff = maxChannelDifference(tile, want);
        QVERIFY2(diff <= 2, qPrintable(QString("tile %1 differs by %2").arg(k + 1).arg(diff)));
    }
}

void TstCutter::otherGridsCoverThePicture()
{
    // A 3 × 3 grid with a red frame round the whole picture.
    QImage image = gridPicture(QSize(900, 900), 3, 3);
    {
        QPainter painter(&image);
        painter.setPen(QPen(QColor(255, 0, 0), 12));
        painter.drawRect(QRectF(6, 6, 888, 888));
    }
    const QString source = picture("grid/photo.png", image);
    const Run run =
        cut({"--grid", "3x3", "--format", "png", "--out", m_dir.filePath("grid/t"), source});
    QCOMPARE(run.status, 0);
    QVERIFY(run.out.contains("(9)"));
    QVERIFY(!QFileInfo::exists(m_dir.filePath("grid/t/10.png")));
    for (int k = 1; k <= 9; ++k) {
        const QImage tile(m_dir.filePath(QString("grid/t/%1.png").arg(k)));
        QCOMPARE(tile.size(), QSize(146, 146));
        QVERIFY(sameColour(tile.pixelColor(73, 73), cellColour(k - 1), 8));
    }
    // Nothing lost at the outer edge: the frame shows in the corner tiles.
    QCOMPARE(QImage(m_dir.filePath("grid/t/1.png")).pixelColor(0, 0), QColor(Qt::red));
    QCOMPARE(QImage(m_dir.filePath("grid/t/9.png")).pixelColor(145, 145), QColor(Qt::red));
}

void TstCutter::everyPixelFormatInEveryGrid_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("grid");
    const struct {
        const char *name;
        QImage::Format format;
    } formats[] = {{"grey.jpg", QImage::Format_Grayscale8},
                   {"grey16.png", QImage::Format_Grayscale16},
                   {"palette.png", QImage::Format_Indexed8},
                   {"alpha.png", QImage::Format_ARGB32}};
    for (const auto &f : formats)
        for (const char *grid : {"3x3", "2x2", "3x1", "4x2"})
            QTest::addRow("%s %s", f.name, grid) << f.name << int(f.format) << grid;
}

void TstCutter::everyPixelFormatInEveryGrid()
{
    // The bottom-right tiles lie where a view of the rows could reach past the picture.
    QFETCH(QString, name);
    QFETCH(int, format);
    QFETCH(QString, grid);
    const QImage image = gridPicture(QSize(900, 600), 3, 3).convertToFormat(QImage::Format(format));
    const QString source = picture("formats/" + name, image);
    const QString out = m_dir.filePath("formats/" + name + "-" + grid);
    QCOMPARE(cut({"--quiet", "--grid", grid, "--size", "90", "--out", out, source}).status, 0);
    const int columns = grid.left(1).toInt(), rows = grid.right(1).toInt();
    QCOMPARE(filesBelow(out).size(), columns * rows);
    // The last tile's centre shows the picture's colour at the region's centre.
    const QColor seen = QImage(out + QString("/%1.jpg").arg(columns * rows)).pixelColor(45, 45);
    const QColor want = image.pixelColor(900 * (2 * columns - 1) / (2 * columns),
                                         600 * (2 * rows - 1) / (2 * rows));
    QVERIFY2(sameColour(seen, want, 24), qPrintable(seen.name() + " " + want.name()));
}

void TstCutter::badPictureDoesNotStopTheBatch()
{
    const QString good1 = picture("batch/a/one.jpg", photoLike(QSize(400, 300)));
    const QString bad = m_dir.filePath("batch/b/broken.jpg");
    QDir().mkpath(m_dir.filePath("batch/b"));
    writeBytes("not a picture", bad);
    const QString good2 = picture("batch/c/two.png", photoLike(QSize(300, 400)));
    const Run run = cut({good1, bad, good2});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err.count('\n'), 1);
    QVERIFY(run.err.contains(bad));
    QVERIFY(QFileInfo::exists(m_dir.filePath("batch/a/8.jpg")));
    QVERIFY(QFileInfo::exists(m_dir.filePath("batch/c/8.jpg")));
    QVERIFY(!QFileInfo::exists(m_dir.filePath("batch/b/1.jpg")));
}

void TstCutter::picturesSharingAFolderGetOneEach()
{
    const QString a = picture("shared/cat.jpg", photoLike(QSize(400, 300)));
    const QString b = picture("shared/dog.jpg", photoLike(QSize(300, 300)));
    const QString c = picture("shared/dog.png", gridPicture(QSize(300, 300), 4, 2));
    QCOMPARE(cut({"--quiet", a, b, c, a}).status, 0);
    QVERIFY(!QFileInfo::exists(m_dir.filePath("shared/1.jpg")));
    for (const QString &folder : QStringList{"cat", "dog-jpg", "dog-png"})
        QVERIFY2(QFileInfo::exists(m_dir.filePath(QString("shared/%1/8.jpg").arg(folder))),
                 qPrintable(folder));
    QVERIFY(readBytes(m_dir.filePath("shared/dog-jpg/1.jpg")) !=
            readBytes(m_dir.filePath("shared/dog-png/1.jpg")));
}

void TstCutter::inputsAreNeverOverwritten()
{
    const QString own = picture("own/3.jpg", photoLike(QSize(400, 300)));
    const QByteArray before = readBytes(own);
    const Run run = cut({own});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains(own));
    QCOMPARE(readBytes(own), before);
    QVERIFY(!QFileInfo::exists(m_dir.filePath("own/1.jpg")));

    // Earlier tiles are replaced, as in the window.
    const QString other = picture("again/photo.jpg", photoLike(QSize(400, 300)));
    writeBytes("old", m_dir.filePath("again/1.jpg"));
    QCOMPARE(cut({"--quiet", other}).status, 0);
    QVERIFY(readBytes(m_dir.filePath("again/1.jpg")).startsWith("\xFF\xD8"));
}

void TstCutter::sameNamesInABatchNeverShareAFolder()
{
    const QString red = picture("twins/a/x.jpg", gridPicture(QSize(400, 200), 1, 1));
    const QString blue = picture("twins/b/x.jpg", gridPicture(QSize(400, 200), 1, 1).rgbSwapped());
    const QString out = m_dir.filePath("twins/out");
    QCOMPARE(cut({"--quiet", "--size", "100", "--out", out, red, blue}).status, 0);
    QCOMPARE(filesBelow(out).size(), 16);
    const QStringList folders = QDir(out).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders.size(), 2);
    const bool firstRed = QImage(out + "/" + folders[0] + "/1.jpg").pixelColor(50, 50).red() > 200;
    const bool secondRed = QImage(out + "/" + folders[1] + "/1.jpg").pixelColor(50, 50).red() > 200;
    QVERIFY(firstRed != secondRed);
}

void TstCutter::folderNamesStayInside_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("withOut");
    // A symbolic link made in the base before the run, and where it points.
    QTest::addColumn<QString>("link");
    QTest::addColumn<QString>("linkTo");
    const QString outside = m_dir.filePath("outside");
    for (const bool withOut : {false, true}) {
        const char *where = withOut ? "into --out" : "beside";
        QTest::addRow("dots only, %s", where)
            << QStringList{"...jpg", "..jpg", ".jpg"} << withOut << QString() << QString();
        QTest::addRow("no extension beside its picture, %s", where)
            << QStringList{"photo", "photo.jpg"} << withOut << QString() << QString();
        QTest::addRow("double extension, %s", where)
            << QStringList{"photo.jpg", "photo.jpg.jpg"} << withOut << QString() << QString();
        QTest::addRow("control characters, %s", where)
            << QStringList{"a\nb.jpg", "tab\t.png"} << withOut << QString() << QString();
        QTest::addRow("placeholders in the names, %s", where)
            << QStringList{"100%1.jpg", "50%2.jpg"} << withOut << QString() << QString();
        QTest::addRow("link to a folder outside named like a picture's, %s", where)
            << QStringList{"a.jpg", "b.jpg"} << withOut << "a" << outside;
        QTest::addRow("link to nowhere named like a picture's folder, %s", where)
            << QStringList{"a.jpg", "b.jpg"} << withOut << "a" << outside + "/gone";
    }
}

void TstCutter::folderNamesStayInside()
{
    QFETCH(QStringList, names);
    QFETCH(bool, withOut);
    QFETCH(QString, link);
    QFETCH(QString, linkTo);
    const QString root = m_dir.filePath(QString("inside/%1").arg(QTest::currentDataTag()));
    const QString base = root + (withOut ? "/out/" : "/in/");
    const QString outside = m_dir.filePath("outside");
    QDir().mkpath(outside);
    writeBytes("old", outside + "/1.jpg");
    QDir().mkpath(base);
    if (!link.isEmpty())
        QVERIFY(QFile::link(linkTo, base + link));
    QStringList arguments, paths;
    if (withOut)
        arguments << "--out" << root + "/out";
    for (QString name : names) {
        name.replace("\\n", "\n").replace("\\t", "\t");
        const QString path = root + "/in/" + name;
        QDir().mkpath(root + "/in");
        writeBytes(hostile::jpegBytes(photoLike(QSize(200, 100)), false), path);
        arguments << path;
        paths << path;
    }
    const Run run = cut(arguments);
    QCOMPARE(run.status, 0);
    // One report line per picture, naming it as it is.
    QCOMPARE(run.out.count('\n'), names.size());
    for (const QString &path : paths)
        QVERIFY2(run.out.contains(tk::printableName(path) + " -> "), qPrintable(run.out));
    const QStringList tiles = filesBelow(root + (withOut ? "/out" : "/in"));
    QCOMPARE(tiles.size() - (withOut ? 0 : names.size()), 8 * names.size());
    for (const QString &tile : filesBelow(root))
        QVERIFY2(tile.startsWith(base) || tile.startsWith(root + "/in/"), qPrintable(tile));
    // Each picture in a folder of its own, directly inside the base; nothing through a link.
    QCOMPARE(QDir(base)
                 .entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks)
                 .size(),
             names.size());
    QCOMPARE(filesBelow(outside), QStringList{outside + "/1.jpg"});
    QCOMPARE(readBytes(outside + "/1.jpg"), QByteArray("old"));
}

void TstCutter::linksBelowTheBaseAreNeverFollowed_data()
{
    QTest::addColumn<bool>("swappedWhileWriting");
    QTest::newRow("link in the folder's place when it is made") << false;
    QTest::newRow("folder swapped for a link while its tiles are written") << true;
}

void TstCutter::linksBelowTheBaseAreNeverFollowed()
{
    // Planning steps round a link; these are links that appear after planning.
    QFETCH(bool, swappedWhileWriting);
    const QString base = m_dir.filePath(QString("swap/%1").arg(int(swappedWhileWriting)));
    const QString outside = base + "-outside";
    QVERIFY(QDir().mkpath(base) && QDir().mkpath(outside));
    const QByteArray native = QFile::encodeName(base);
    if (swappedWhileWriting) {
        QCOMPARE(tk::tempfiles::createFolders(native, "a/"), 0);
        QVERIFY(QDir(base).rename("a", "moved"));
        QVERIFY(QFile::link(outside, base + "/a"));
        tk::SavePicture(photoLike(QSize(20, 20)), base + "/a/1.jpg");
        tk::tempfiles::releaseFolder(native + "/a/");
        QVERIFY(QFileInfo::exists(base + "/moved/1.jpg"));
    } else {
        QVERIFY(QFile::link(outside, base + "/a"));
        QCOMPARE(tk::tempfiles::createFolders(native, "a/"), ELOOP);
    }
    QCOMPARE(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList());
}

void TstCutter::foldersLeftEmptyAreRemoved()
{
    const QString bad = m_dir.filePath("left/bad.jpg");
    QDir().mkpath(m_dir.filePath("left"));
    writeBytes("not a picture", bad);
    QCOMPARE(cut({"--out", m_dir.filePath("left/n1/n2/n3"), bad}).status, 1);
    QVERIFY(!QFileInfo::exists(m_dir.filePath("left/n1")));

    const QString good = picture("left/good.jpg", photoLike(QSize(200, 100)));
    QCOMPARE(cut({"--quiet", "--out", m_dir.filePath("left/m1/m2"), good, bad}).status, 1);
    QCOMPARE(QDir(m_dir.filePath("left/m1/m2")).entryList(QDir::Dirs | QDir::NoDotAndDotDot),
             QStringList{"good"});
}

void TstCutter::namesThatAreNotText()
{
    // "照片" in GBK, from an old archive: the bytes are not valid UTF-8.
    const QByteArray gbk("\xd5\xd5\xc6\xac");
    const QByteArray root = QFile::encodeName(m_dir.filePath("gbk"));
    QVERIFY(QDir().mkpath(m_dir.filePath("gbk")));
    const QByteArray photo = hostile::jpegBytes(photoLike(QSize(200, 100)), false);
    QVERIFY(writeNative(root + "/" + gbk + ".jpg", photo));
    const Run alone = cut(QByteArrayList{"--quiet", root + "/" + gbk + ".jpg"});
    QCOMPARE(alone.status, 0);
    QCOMPARE(QImage(m_dir.filePath("gbk/8.jpg")).size(), QSize(146, 146));

    // In a folder whose own name is not text, tiles can only go where --out says.
    QVERIFY(::mkdir((root + "/" + gbk).constData(), 0755) == 0);
    QVERIFY(writeNative(root + "/" + gbk + "/a.jpg", photo));
    const Run inside = cut(QByteArrayList{root + "/" + gbk + "/a.jpg"});
    QCOMPARE(inside.status, 1);
    QVERIFY2(inside.err.contains("\\xd5\\xd5") && inside.err.contains("不是系统编码下的有效文字"),
             qPrintable(inside.err));
    QVERIFY2(!inside.err.contains("No such file"), qPrintable(inside.err));
    const Run redirected =
        cut(QByteArrayList{"--quiet", "--out", root + "/out", root + "/" + gbk + "/a.jpg"});
    QCOMPARE(redirected.status, 0);
    QCOMPARE(filesBelow(m_dir.filePath("gbk/out")).size(), 8);
    // Qt cannot name these files to remove them.
    ::unlink((root + "/" + gbk + ".jpg").constData());
    ::unlink((root + "/" + gbk + "/a.jpg").constData());
    ::rmdir((root + "/" + gbk).constData());
}

void TstCutter::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no picture") << QStringList();
    QTest::newRow("unknown option") << QStringList({"--fast", "a.jpg"});
    QTest::newRow("size not a number") << QStringList({"--size", "big", "a.jpg"});
    QTest::newRow("grid zero") << QStringList({"--grid", "0x2", "a.jpg"});
    QTest::newRow("quality 0") << QStringList({"--quality=0", "a.jpg"});
    QTest::newRow("value given to a switch") << QStringList({"--quiet=no", "a.jpg"});
    QTest::newRow("line break in an unknown option") << QStringList({"--fa\nst", "a.jpg"});
}

void TstCutter::usageErrors()
{
    QFETCH(QStringList, arguments);
    const Run run = cut(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err.count('\n'), 2); // the error and the pointer to --help
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("1.jpg")));
}

QTEST_MAIN(TstCutter)
#include "tst_cutter.moc"
