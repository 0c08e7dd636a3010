#include "core/canvas.h"
#include "core/error.h"
#include "core/picture.h"
#include "core/picturereader.h"
#include "intake/intake.h"
#include "modernpictures.h"
#include "testsupport.h"
#include "tiles/windowgeometry.h"

#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace testsupport;

namespace {

const QColor Untouched(1, 2, 3);

tk::Canvas freshPreview()
{
    return tk::Canvas(tk::previewInnerPixels(), Untouched);
}

bool containsColour(const QImage &image, QColor colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == colour)
                return true;
    return false;
}

// A real JPEG whose frame header claims another size.
QByteArray jpegClaiming(const QByteArray &jpeg, quint16 width, quint16 height)
{
    QByteArray bytes = jpeg;
    const int sof = bytes.indexOf("\xFF\xC0");
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xFF);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xFF);
    return bytes;
}

} // namespace

class TstIntake : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tk::setUpPictureReading(); } // as the programs do at start
    void folderKeepsItsSeparator();
    void pictureFillsThePreview_data();
    void pictureFillsThePreview();
    void frameStripsAreLeftOut();
    void exifOrientationTurnsPhotosUpright();
    void oneDecodeServesTwoScreens_data();
    void oneDecodeServesTwoScreens();
    void picturesOverTheAllocationLimitLoad();
    void badInputIsRefused_data();
    void badInputIsRefused();
    void absurdDimensionsStayBounded_data();
    void absurdDimensionsStayBounded();
    void colourStepGetsWhatItNeeds();

private:
    QTemporaryDir m_dir;
};

void TstIntake::folderKeepsItsSeparator()
{
    QCOMPARE(tk::folderOf("/photos/cat.jpg"), QString("/photos/"));
    QCOMPARE(tk::folderOf("/a.jpg"), QString("/"));
    QCOMPARE(tk::folderOf("cat.jpg"), QString());
}

void TstIntake::pictureFillsThePreview_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("format");
    QTest::newRow("small png enlarged") << QSize(100, 50) << "png";
    QTest::newRow("large jpeg reduced") << QSize(4000, 3000) << "jpg";
    QTest::newRow("square stretched") << QSize(300, 300) << "png";
}

void TstIntake::pictureFillsThePreview()
{
    QFETCH(QSize, size);
    QFETCH(QString, format);
    const QString path = m_dir.filePath("fill." + format);
    writeImage(gridPicture(size, 4, 2), path);
    tk::Canvas preview = freshPreview();
    tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
    const QImage shown = preview.image();
    QVERIFY(!containsColour(shown, Untouched));
    // The grid is stretched to 400 × 200, so its cells are 100 × 100 pixels.
    const QPoint probes[] = {{2, 2}, {150, 50}, {393, 97}, {50, 193}, {393, 193}};
    const int cells[] = {0, 1, 3, 4, 7};
    for (int i = 0; i < 5; ++i) {
        const QColor seen = shown.pixelColor(probes[i]);
        QVERIFY2(sameColour(seen, cellColour(cells[i]), 40), qPrintable(seen.name()));
    }
}

void TstIntake::frameStripsAreLeftOut()
{
    // A 400 × 200 picture is drawn 1:1; its last 4 columns and rows lie under the frame.
    QImage picture = positionPicture(QSize(400, 200));
    QPainter(&picture).fillRect(396, 0, 4, 200, QColor(7, 7, 7));
    QPainter(&picture).fillRect(0, 196, 400, 4, QColor(7, 7, 7));
    const QString path = m_dir.filePath("strips.png");
    writeImage(picture, path);
    tk::Canvas preview = freshPreview();
    tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
    QCOMPARE(preview.image(), picture.copy(0, 0, 396, 196));
}

void TstIntake::exifOrientationTurnsPhotosUpright()
{
    // Stored sideways (left half red, right half blue) with "turn 90° clockwise".
    QImage stored(200, 100, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 100, 100, Qt::red);
    const QString path = m_dir.filePath("sideways.jpg");
    QImageWriter writer(path);
    writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(stored));

    QCOMPARE(tk::PictureReader(path).read(QSize(400, 200)).size(), QSize(400, 200));
    tk::Canvas preview = freshPreview();
    tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
    QVERIFY(sameColour(preview.image().pixelColor(200, 40), Qt::red, 40));
    QVERIFY(sameColour(preview.image().pixelColor(200, 160), Qt::blue, 40));
}

void TstIntake::oneDecodeServesTwoScreens_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("turned");
    // JPEG decodes by eighths: at 1200 × 600 the preview and the doubled screen share
    // one, at 3200 × 1600 they need two; PNG scales as it reads; BMP is read whole.
    QTest::newRow("jpeg, one decode") << "one.jpg" << QSize(1200, 600) << false;
    QTest::newRow("jpeg, two eighths") << "two.jpg" << QSize(3200, 1600) << false;
    QTest::newRow("jpeg turned") << "turned.jpg" << QSize(1200, 600) << true;
    QTest::newRow("png") << "one.png" << QSize(1200, 600) << false;
    QTest::newRow("bmp") << "one.bmp" << QSize(600, 300) << false;
}

void TstIntake::oneDecodeServesTwoScreens()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, turned);
    const QString path = m_dir.filePath(name);
    QImageWriter writer(path);
    if (turned)
        writer.setTransformation(QImageIOHandler::TransformationRotate90);
    QVERIFY(writer.write(positionPicture(size)));

    // What the screen at twice the pixels shows, and what is cut, exactly as each alone.
    const QList<QSize> sizes{QSize(400, 200), QSize(800, 400)};
    const QList<QImage> both = tk::PictureReader(path).read(sizes);
    for (int i = 0; i < 2; ++i)
        QCOMPARE(both[i], tk::PictureReader(path).read(sizes[i]));
}

void TstIntake::picturesOverTheAllocationLimitLoad()
{
    // 7000 × 5000 is 140 MB decoded in full, over Qt's default limit of 128 MB.
    QImage big(7000, 5000, QImage::Format_RGB32);
    big.fill(Qt::green);
    QPainter(&big).fillRect(3500, 0, 3500, 5000, Qt::blue);
    const QString path = m_dir.filePath("big.jpg");
    writeImage(big, path, "jpeg", 50);
    big = QImage();
    tk::Canvas preview = freshPreview();
    tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
    QVERIFY(sameColour(preview.image().pixelColor(10, 100), Qt::green, 20));
    QVERIFY(sameColour(preview.image().pixelColor(380, 100), Qt::blue, 20));
}

void TstIntake::badInputIsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray jpeg, png;
    {
        const QString good = m_dir.filePath("good.jpg");
        writeImage(positionPicture(QSize(320, 240)), good);
        jpeg = readBytes(good);
        writeImage(positionPicture(QSize(320, 240)), m_dir.filePath("good.png"));
        png = readBytes(m_dir.filePath("good.png"));
    }
    QTest::newRow("text named .jpg") << "text.jpg" << QByteArray("just some words\n");
    QTest::newRow("zero bytes") << "empty.jpg" << QByteArray();
    QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() / 2);
    QTest::newRow("jpeg header only") << "head.jpg" << jpeg.left(jpeg.indexOf("\xFF\xDA") + 20);
    QTest::newRow("truncated png") << "cut.png" << png.left(png.size() / 2);
    QTest::newRow("png named .jpg, cut") << "png.jpg" << png.left(60);
    QTest::newRow("missing file") << "" << QByteArray();
    QTest::newRow("a folder") << "folder.jpg" << QByteArray("<dir>");
}

void TstIntake::badInputIsRefused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QString path = m_dir.filePath(name.isEmpty() ? "does-not-exist.jpg" : name);
    if (bytes == "<dir>")
        QVERIFY(QDir().mkpath(path));
    else if (!name.isEmpty())
        writeBytes(bytes, path);

    tk::Canvas preview = freshPreview();
    QVERIFY_THROWS_EXCEPTION(tk::Error, tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path));
    QCOMPARE(preview.image().pixelColor(200, 100), Untouched);
}

void TstIntake::absurdDimensionsStayBounded_data()
{
    QTest::addColumn<QByteArray>("bytes");
    writeImage(positionPicture(QSize(64, 64)), m_dir.filePath("small.jpg"));
    QTest::newRow("jpeg 60000 x 60000")
        << jpegClaiming(readBytes(m_dir.filePath("small.jpg")), 60000, 60000);
}

void TstIntake::absurdDimensionsStayBounded()
{
    QFETCH(QByteArray, bytes);
    const QString path = m_dir.filePath("absurd.jpg");
    writeBytes(bytes, path);
    tk::Canvas preview = freshPreview();
    try {
        tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
        QVERIFY(!containsColour(preview.image(), Untouched));
    } catch (const tk::Error &) {
        QCOMPARE(preview.image().pixelColor(200, 100), Untouched);
    }
}

void TstIntake::colourStepGetsWhatItNeeds()
{
    using modern::TiffSpec;
    const auto reader = [](const QByteArray &bytes) {
        return tk::PictureReader::fromBytes(bytes, QStringLiteral("test"));
    };
    // 16-bit samples arrive whole, not rounded to 8 bits.
    QImage deep(64, 32, QImage::Format_RGBX64);
    deep.fill(QColor::fromRgba64(0x1234, 0x5678, 0x9ABC));
    const auto tiff16 = reader(modern::tiffBytes(deep, TiffSpec{TiffSpec::Colour::Rgb, 16}));
    QCOMPARE(tiff16->format(), QImage::Format_RGBX64);
    QCOMPARE(tiff16->read().pixelColor(5, 5).rgba64(),
             QRgba64::fromRgba64(0x1234, 0x5678, 0x9ABC, 0xFFFF));

    // The profile a TIFF carries, and the coded description of an AVIF.
    const QByteArray profile("a profile's bytes, passed on as they are");
    const auto described =
        reader(modern::tiffBytes(deep, TiffSpec{TiffSpec::Colour::Rgb, 8, false, 1, profile}));
    QCOMPARE(described->colour().iccProfile, profile);
    QVERIFY(
        reader(modern::heifBytes(gridPicture(QSize(64, 32), 2, 1), true))->colour().hasCodePoints);

    // A CMYK TIFF comes out in sRGB: red printed as magenta and yellow ink is red again.
    const auto cmyk = reader(
        modern::tiffBytes(gridPicture(QSize(64, 32), 1, 1), TiffSpec{TiffSpec::Colour::Cmyk}));
    const QColor red = cmyk->read().pixelColor(3, 3);
    QVERIFY2(red.red() > 180 && red.green() < 90 && red.blue() < 90, qPrintable(red.name()));
}

QTEST_GUILESS_MAIN(TstIntake)
#include "tst_intake.moc"
