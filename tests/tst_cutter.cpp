#include "cli/cutter.h"
#include "core/picture.h"
#include "core/picturereader.h"
#include "core/systemerror.h"
#include "core/tempfiles.h"
#include "desktopstandins.h"
#include "hostilepictures.h"
#include "modernpictures.h"
#include "processrun.h"
#include "shell/form1.h"
#include "shell/wallsettings.h"
#include "testsupport.h"
#include "tiles/picturecut.h"
#include "tiles/resample.h"

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QDir>
#include <QDirIterator>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QtEndian>
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

// A TIFF block whose GPS directory says "north", as cameras write it after "Exif\0\0".
const QByteArray GpsExif = QByteArray::fromHex("49492a0008000000"
                                               "0100"
                                               "25880400010000001a000000"
                                               "00000000"
                                               "0100"
                                               "010002000200000055534500"
                                               "00000000");
const QByteArray Xmp = "<x:xmpmeta>SECRET-XMP</x:xmpmeta>";

// A picture with the private things a phone or an editor leaves in it.
QByteArray privatePicture(bool png, bool deep, const QColorSpace &space, QColor colour)
{
    QImage image(800, 400, deep ? QImage::Format_RGBX64 : QImage::Format_RGB32);
    image.fill(colour);
    image.setColorSpace(space);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, png ? "png" : "jpeg");
    writer.setQuality(95);
    writer.write(image);
    if (png)
        return hostile::pngWithChunks(
            bytes, {QByteArray("tEXtComment\0SECRET-COMMENT", 26),
                    QByteArray("iTXtXML:com.adobe.xmp\0\0\0\0\0", 26) + Xmp, "eXIf" + GpsExif});
    return hostile::jpegWithSegments(
        bytes, {{0xE1, QByteArray("Exif\0\0", 6) + GpsExif},
                {0xE1, QByteArray("http://ns.adobe.com/xap/1.0/\0", 29) + Xmp},
                {0xFE, "SECRET-COMMENT"}});
}

// The markers of a JPEG up to its image data, or of a PNG its chunk types.
QByteArrayList headerParts(const QByteArray &file)
{
    QByteArrayList parts;
    if (file.startsWith("\x89PNG")) {
        for (qsizetype at = 8; at + 8 <= file.size();) {
            parts << file.mid(at + 4, 4);
            at += 12 + qsizetype(qFromBigEndian<quint32>(file.constData() + at));
        }
        return parts;
    }
    for (qsizetype at = 2; at + 4 <= file.size() && uchar(file[at]) == 0xFF;) {
        const uchar marker = uchar(file[at + 1]);
        parts << QByteArray::number(marker, 16);
        if (marker == 0xDA)
            break;
        at += 2 + (uchar(file[at + 2]) << 8 | uchar(file[at + 3]));
    }
    return parts;
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
    void newerFormatsAreCutRight_data();
    void newerFormatsAreCutRight();
    void fullResolutionTilesAreTheirRegionsResampled_data();
    void fullResolutionTilesAreTheirRegionsResampled();
    void otherGridsCoverThePicture();
    void everyPixelFormatInEveryGrid_data();
    void everyPixelFormatInEveryGrid();
    void tilesAreSrgbAndCarryNothingPrivate_data();
    void tilesAreSrgbAndCarryNothingPrivate();
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
    // Qt writes none of the newer formats; their own libraries do.
    const QString suffix = QFileInfo(name).suffix();
    if (suffix == "heic" || suffix == "avif")
        writeBytes(modern::heifBytes(image, suffix == "avif"), path);
    else if (suffix == "webp")
        writeBytes(modern::webpBytes(image, false), path);
    else if (suffix == "tif")
        writeBytes(modern::tiffBytes(image, {}), path);
    else
        writeImage(image, path, nullptr, 92);
    return path;
}

void TstCutter::defaultTilesAreTheWindowsTiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("sourceDotsPerMeter");
    QTest::addColumn<QByteArrayList>("choice"); // the same options for the window and the cutter
    QTest::addColumn<bool>("enlarged");
    QTest::addColumn<int>("colourSpace"); // 0: untagged
    QTest::newRow("window's cut, cutter without a screen") << "photo.jpg" << 3780 << QByteArrayList()
                                                           << false << 0;
    QTest::newRow("window's cut of a HEIC") << "phone.heic" << 3780 << QByteArrayList() << false << 0;
    QTest::newRow("window's cut of a WebP") << "web.webp" << 3780 << QByteArrayList() << false << 0;
    QTest::newRow("window's cut of a TIFF") << "scan.tif" << 3780 << QByteArrayList() << false << 0;
    QTest::newRow("full resolution, density from a 300 dpi picture")
        << "print.png" << 11811 << QByteArrayList{"--size", "1080"} << true << 0;
    QTest::newRow("nine-grid in proportion, centred frame")
        << "crop.jpg" << 3780 << QByteArrayList{"--grid", "3x3", "--fit", "crop"} << false << 0;
    QTest::newRow("sRGB-tagged photo") << "srgb.jpg" << 3780 << QByteArrayList() << false
                                       << int(QColorSpace::SRgb);
    QTest::newRow("Display P3 photo at full resolution")
        << "p3.jpg" << 3780 << QByteArrayList{"--size", "1080"} << true
        << int(QColorSpace::DisplayP3);
}

void TstCutter::defaultTilesAreTheWindowsTiles()
{
    QFETCH(QString, name);
    QFETCH(int, sourceDotsPerMeter);
    QFETCH(QByteArrayList, choice);
    QFETCH(bool, enlarged);
    QFETCH(int, colourSpace);
    const QString within = "same/" + QFileInfo(name).completeBaseName();
    const QString folder = m_dir.filePath(within);
    QImage image = photoLike(enlarged ? QSize(800, 400) : QSize(1200, 900));
    if (colourSpace != 0)
        image.setColorSpace(static_cast<QColorSpace::NamedColorSpace>(colourSpace));
    image.setDotsPerMeterX(sourceDotsPerMeter);
    image.setDotsPerMeterY(sourceDotsPerMeter);
    const QString source = picture(within + "/" + name, image);
    const tk::WindowArguments chosen =
        tk::readWindowArguments(QByteArrayList{"tesselkraft"} + choice, tk::Wall());
    QVERIFY(chosen.error.isEmpty());
    {
        WindowFixture window(folder);
        window.desktop.chosenFile = source;
        window->setWall(chosen.wall);
        window.load();
        window->Command1_Click();
        window->Command2_Click();
        // 1080-pixel tiles of an 800-pixel picture are enlarged; the window says so first.
        const QStringList said = enlarged ? QStringList{"提示：", "恭喜:"} : QStringList{"恭喜:"};
        QCOMPARE(window.desktop.titles(), said);
    }

    // The cutter as its user runs it: a process of its own, with no screen.
    const QByteArrayList arguments =
        QByteArrayList{"--quiet", "--out", QFile::encodeName(folder + "/cli")} + choice;
    const ProcessRun run = runProcess(TK_CUTTER, arguments + QByteArrayList{QFile::encodeName(source)});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(run.out.isEmpty());
    QCOMPARE(run.err.isEmpty(), !enlarged);
    for (int k = 1; k <= chosen.wall.tileCount(); ++k) {
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

void TstCutter::newerFormatsAreCutRight_data()
{
    using modern::TiffSpec;
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("grey");
    QTest::addColumn<bool>("printed"); // through a CMYK profile: print colours, nearest only
    const QImage grid = gridPicture(QSize(800, 400), 4, 2);
    const QImage sideways = grid.transformed(QTransform().rotate(-90));
    QImage blue(grid.size(), QImage::Format_RGB32);
    blue.fill(Qt::blue);
    const auto tiff = [&](TiffSpec::Colour colour, int bits, bool tiled = false) {
        return modern::tiffBytes(grid, TiffSpec{colour, bits, tiled, 1, QByteArray()});
    };
    QTest::newRow("heic") << "grid.heic" << modern::heifBytes(grid, false) << false << false;
    QTest::newRow("avif") << "grid.avif" << modern::heifBytes(grid, true) << false << false;
    QTest::newRow("webp lossy") << "lossy.webp" << modern::webpBytes(grid, false) << false << false;
    QTest::newRow("webp lossless with alpha")
        << "alpha.webp" << modern::webpBytes(grid.convertToFormat(QImage::Format_ARGB32), true)
        << false << false;
    QTest::newRow("webp animation: its first frame")
        << "animated.webp" << modern::webpAnimation({grid, blue}) << false << false;
    QTest::newRow("tiff 8-bit rgb") << "rgb.tif" << tiff(TiffSpec::Colour::Rgb, 8) << false << false;
    QTest::newRow("tiff 16-bit rgb") << "rgb16.tif" << tiff(TiffSpec::Colour::Rgb, 16) << false << false;
    QTest::newRow("tiff 16-bit grey") << "grey16.tif" << tiff(TiffSpec::Colour::Grey, 16) << true << false;
    QTest::newRow("tiff cmyk") << "cmyk.tif" << tiff(TiffSpec::Colour::Cmyk, 8) << false << true;
    QTest::newRow("tiff in tiles, with alpha")
        << "tiled.tif" << tiff(TiffSpec::Colour::Rgba, 8, true) << false << false;
    QTest::newRow("tiff stored sideways, orientation 6")
        << "sideways.tif"
        << modern::tiffBytes(sideways, TiffSpec{TiffSpec::Colour::Rgb, 8, false, 6, QByteArray()})
        << false << false;
}

void TstCutter::newerFormatsAreCutRight()
{
    // The window's cut (through the preview, from a reduced decode where the format has
    // one) and a full-resolution one: each tile shows its own cell of the 4 × 2 grid.
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, grey);
    QFETCH(bool, printed);
    const QString path = m_dir.filePath("newer/" + name);
    QDir().mkpath(m_dir.filePath("newer"));
    writeBytes(bytes, path);
    for (const QString &size : QStringList{"0", "120"}) {
        const QString out = m_dir.filePath("newer/" + name + "-" + size);
        QStringList args{"--quiet", "--out", out, path};
        if (size != "0")
            args << "--size" << size;
        const Run run = cut(args);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        for (int k = 1; k <= 8; ++k) {
            const QImage tile(out + QString("/%1.jpg").arg(k));
            const QColor centre = tile.pixelColor(tile.width() / 2, tile.height() / 2);
            QColor want = cellColour(k - 1);
            if (grey)
                want = QColor(qGray(want.rgb()), qGray(want.rgb()), qGray(want.rgb()));
            // Print colours are duller than the screen's: each tile is only nearer its own
            // cell's colour than any other cell's.
            const auto distance = [&](QColor c) {
                return std::abs(c.red() - centre.red()) + std::abs(c.green() - centre.green()) +
                       std::abs(c.blue() - centre.blue());
            };
            int nearest = 0;
            for (int other = 1; other < 8; ++other)
                if (distance(cellColour(other)) < distance(cellColour(nearest)))
                    nearest = other;
            QVERIFY2(
                printed ? nearest == k - 1 : sameColour(centre, want, 24),
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

void TstCutter::tilesAreSrgbAndCarryNothingPrivate_data()
{
    QTest::addColumn<bool>("png");
    QTest::addColumn<bool>("deep");
    QTest::addColumn<int>("colourSpace");
    QTest::addColumn<QStringList>("options"); // empty: the window's cut
    const struct {
        const char *name;
        bool png, deep;
        QColorSpace::NamedColorSpace space;
    } pictures[] = {{"Display P3 JPEG", false, false, QColorSpace::DisplayP3},
                    {"Display P3 16-bit PNG", true, true, QColorSpace::DisplayP3},
                    {"sRGB PNG", true, false, QColorSpace::SRgb}};
    for (const auto &p : pictures) {
        QTest::addRow("%s, window", p.name) << p.png << p.deep << int(p.space) << QStringList();
        QTest::addRow("%s, cutter", p.name)
            << p.png << p.deep << int(p.space) << QStringList{"--quiet"};
        // The bottom row's tiles are copies of the picture's region, metadata and all.
        QTest::addRow("%s, cutter 3x3", p.name)
            << p.png << p.deep << int(p.space)
            << QStringList{"--quiet", "--grid", "3x3", "--size", "200"};
        QTest::addRow("%s, cutter 3x3 PNG tiles", p.name)
            << p.png << p.deep << int(p.space)
            << QStringList{"--quiet", "--grid", "3x3", "--format", "png"};
    }
}

void TstCutter::tilesAreSrgbAndCarryNothingPrivate()
{
    QFETCH(bool, png);
    QFETCH(bool, deep);
    QFETCH(int, colourSpace);
    QFETCH(QStringList, options);
    const QColorSpace space(static_cast<QColorSpace::NamedColorSpace>(colourSpace));
    const QColor stored(200, 60, 40);
    const QColor shown = space.transformationToColorSpace(QColorSpace::SRgb).map(stored);
    const QString folder = m_dir.filePath(QString("private/%1").arg(QTest::currentDataTag()));
    QVERIFY(QDir().mkpath(folder));
    const QString source = folder + (png ? "/phone.png" : "/phone.jpg");
    writeBytes(privatePicture(png, deep, space, stored), source);
    QString out = folder;
    if (options.isEmpty()) {
        WindowFixture window(folder);
        window.desktop.chosenFile = source;
        window.load();
        window->Command1_Click();
        window->Command2_Click();
        QCOMPARE(window.desktop.titles(), QStringList{"恭喜:"});
    } else {
        out += "/tiles";
        QCOMPARE(cut(options << "--out" << out << source).status, 0);
    }
    const QStringList tiles = QDir(out).entryList({"[1-9].jpg", "[1-9].png"}, QDir::Files);
    QVERIFY(tiles.size() >= 8);
    for (const QString &name : tiles) {
        const QByteArray tile = readBytes(out + "/" + name);
        for (const QByteArray &part : headerParts(tile))
            QVERIFY2(part == "e0" || part == "db" || part == "c0" || part == "c4" || part == "da" ||
                         part == "IHDR" || part == "pHYs" || part == "IDAT" || part == "IEND",
                     qPrintable(name + " holds " + part));
        QVERIFY2(!tile.contains("SECRET") && !tile.contains("Exif"), qPrintable(name));
        const QImage image(out + "/" + name);
        const QColor centre = image.pixelColor(image.width() / 2, image.height() / 2);
        QVERIFY2(sameColour(centre, shown, 5),
                 qPrintable(name + ": " + centre.name() + ", not " + shown.name()));
    }
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
    QTest::addColumn<int>("lines"); // on standard error
    // The error, and the pointer to --help.
    QTest::newRow("no picture") << QStringList() << 2;
    QTest::newRow("unknown option") << QStringList({"--fast", "a.jpg"}) << 2;
    QTest::newRow("size not a number") << QStringList({"--size", "big", "a.jpg"}) << 2;
    QTest::newRow("grid zero") << QStringList({"--grid", "0x2", "a.jpg"}) << 2;
    QTest::newRow("grid of eleven columns") << QStringList({"--grid", "11x1", "a.jpg"}) << 2;
    QTest::newRow("fit unknown") << QStringList({"--fit", "zoom", "a.jpg"}) << 2;
    QTest::newRow("crop negative") << QStringList({"--crop", "-1,0,10,10", "a.jpg"}) << 2;
    QTest::newRow("crop empty") << QStringList({"--crop", "0,0,0,10", "a.jpg"}) << 2;
    QTest::newRow("crop not numbers") << QStringList({"--crop", "a,b,c,d", "a.jpg"}) << 2;
    QTest::newRow("quality 0") << QStringList({"--quality=0", "a.jpg"}) << 2;
    QTest::newRow("value given to a switch") << QStringList({"--quiet=no", "a.jpg"}) << 2;
    QTest::newRow("line break in an unknown option") << QStringList({"--fa\nst", "a.jpg"}) << 2;
    // Known only once the picture is read: one line for the picture.
    QTest::newRow("crop outside the picture") << QStringList({"--crop", "30,0,20,20", "a.jpg"}) << 1;
}

void TstCutter::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, lines);
    const QString picture = this->picture("usage/a.jpg", photoLike(QSize(40, 30)));
    arguments.replaceInStrings(QRegularExpression("^a\\.jpg$"), picture);
    const Run run = cut(arguments);
    QCOMPARE(run.status, 2);
    QCOMPARE(run.err.count('\n'), lines);
    QVERIFY(!QFileInfo::exists(m_dir.filePath("usage/1.jpg")));
}

QTEST_MAIN(TstCutter)
#include "tst_cutter.moc"
