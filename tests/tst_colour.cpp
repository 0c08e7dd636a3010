// Pictures come out in sRGB as a colour-managed viewer shows them: Qt's own colour
// engine and Little CMS's command-line calculator are the oracles. sRGB, untagged and
// badly tagged pictures come out exactly as their numbers are.
#include "core/colour.h"
#include "core/picturereader.h"
#include "hostilepictures.h"
#include "testsupport.h"

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QTest>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <lcms2.h>

using namespace testsupport;
using namespace hostile;

namespace {

constexpr int Side = 48;
const QList<QColor> Stored = {QColor(200, 60, 40), QColor(60, 180, 90), QColor(40, 80, 200),
                              QColor(250, 250, 250)};

QImage patches(const QList<QColor> &colours, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(Side * int(colours.size()), Side, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < colours.size(); ++i)
        painter.fillRect(i * Side, 0, Side, Side, colours[i]);
    painter.end();
    return image.convertToFormat(format);
}

QByteArray encoded(QImage image, const char *format, const QColorSpace &space = QColorSpace())
{
    image.setColorSpace(space);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(95);
    writer.write(image);
    return bytes;
}

QImage decoded(const QByteArray &bytes, QSize size = QSize())
{
    return tk::PictureReader::fromBytes(bytes, "picture")->read(size);
}

QList<QColor> inSrgb(const QColorSpace &space, const QList<QColor> &colours)
{
    const QColorTransform toSrgb = space.transformationToColorSpace(QColorSpace::SRgb);
    QList<QColor> result;
    for (const QColor &colour : colours)
        result << toSrgb.map(colour);
    return result;
}

QByteArray lcmsProfile(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

QByteArray greyGamma22()
{
    cmsToneCurve *curve = cmsBuildGamma(nullptr, 2.2);
    const QByteArray icc = lcmsProfile(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return icc;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QString GhostscriptProfiles = QStringLiteral("/usr/share/color/icc/ghostscript/");

// What Little CMS's calculator makes of inks with `profile`, perceptually, clipped.
QList<QColor> transicc(const QString &profile, const QList<QColor> &inks)
{
    QByteArray input;
    for (const QColor &c : inks)
        input += QByteArray::number(c.cyanF() * 100) + ' ' +
                 QByteArray::number(c.magentaF() * 100) + ' ' +
                 QByteArray::number(c.yellowF() * 100) + ' ' +
                 QByteArray::number(c.blackF() * 100) + '\n';
    QProcess process;
    process.start(TK_TRANSICC, {"-s", "-n", "-t0", "-i" + profile, "-o*sRGB"});
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished();
    QList<QColor> result;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> values = line.simplified().split(' ');
        if (values.size() == 3 && !values[0].isEmpty() &&
            (values[0][0] == '-' || std::isdigit(values[0][0])))
            result << QColor(qRound(values[0].toDouble()), qRound(values[1].toDouble()),
                             qRound(values[2].toDouble()));
    }
    return result;
}

void comparePatches(const QImage &image, const QList<QColor> &expected, int tolerance)
{
    const int side = image.height();
    QCOMPARE(image.width(), side * int(expected.size()));
    for (int i = 0; i < expected.size(); ++i) {
        const QColor seen = image.pixelColor(i * side + side / 2, side / 2);
        QVERIFY2(sameColour(seen, expected[i], tolerance),
                 qPrintable(
                     QString("patch %1: %2, not %3").arg(i).arg(seen.name(), expected[i].name())));
    }
}

} // namespace

class TstColour : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tk::setUpPictureReading(); } // as the programs do at start
    void taggedPicturesShowAsAColourManagedViewerShowsThem_data();
    void taggedPicturesShowAsAColourManagedViewerShowsThem();
    void cmykJpegsShowTheirInks_data();
    void cmykJpegsShowTheirInks();
    void deepPicturesKeepTheirPrecision();
    void picturesThatAreSrgbStayAsTheirNumbersAre_data();
    void picturesThatAreSrgbStayAsTheirNumbersAre();
};

void TstColour::taggedPicturesShowAsAColourManagedViewerShowsThem_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QList<QColor>>("expected");
    QTest::addColumn<int>("tolerance");
    const QColorSpace p3(QColorSpace::DisplayP3);
    QTest::newRow("Display P3 JPEG shown as if sRGB (dull)")
        << encoded(patches(Stored), "jpeg", p3) << inSrgb(p3, Stored) << 4;
    QTest::newRow("Display P3 PNG")
        << encoded(patches(Stored), "png", p3) << inSrgb(p3, Stored) << 1;
    QTest::newRow("Display P3 16-bit PNG")
        << encoded(patches(Stored, QImage::Format_RGBX64), "png", p3) << inSrgb(p3, Stored) << 1;
    const QColorSpace proPhoto(QColorSpace::ProPhotoRgb);
    QTest::newRow("ProPhoto PNG with alpha, white point D50")
        << encoded(patches(Stored, QImage::Format_ARGB32), "png", proPhoto)
        << inSrgb(proPhoto, Stored) << 1;
    // Grey with a gamma 2.2 curve: dark greys are lighter in sRGB.
    const QList<QColor> greys = {QColor(10, 10, 10), QColor(40, 40, 40), QColor(128, 128, 128)};
    QList<QColor> greysInSrgb;
    for (const QColor &grey : greys) {
        const double linear = std::pow(grey.redF(), 2.2);
        const int level =
            qRound(255 * (linear <= 0.0031308 ? 12.92 * linear
                                              : 1.055 * std::pow(linear, 1 / 2.4) - 0.055));
        greysInSrgb << QColor(level, level, level);
    }
    const QImage grey = patches(greys, QImage::Format_Grayscale8);
    QTest::newRow("grey PNG with a gamma 2.2 grey profile")
        << pngWithChunks(encoded(grey, "png"), {iccpChunk(greyGamma22())}) << greysInSrgb << 1;
    QTest::newRow("grey JPEG with a gamma 2.2 grey profile")
        << jpegWithSegments(encoded(grey, "jpeg"), {{0xE2, iccSegment(greyGamma22())}})
        << greysInSrgb << 2;
}

void TstColour::taggedPicturesShowAsAColourManagedViewerShowsThem()
{
    QFETCH(QByteArray, picture);
    QFETCH(QList<QColor>, expected);
    QFETCH(int, tolerance);
    comparePatches(decoded(picture), expected, tolerance);
    // Resampled first (premultiplied where there is alpha), converted after.
    comparePatches(decoded(picture, QSize(Side / 2 * int(expected.size()), Side / 2)), expected,
                   tolerance);
}

void TstColour::cmykJpegsShowTheirInks_data()
{
    if (QString(TK_TRANSICC).isEmpty())
        QSKIP("transicc (liblcms2-utils) is missing");
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QList<QColor>>("expected");
    const QList<QColor> inks = {QColor::fromCmyk(255, 0, 0, 0), QColor::fromCmyk(0, 230, 230, 0),
                                QColor::fromCmyk(50, 100, 0, 60), QColor::fromCmyk(0, 0, 0, 128)};
    const QString fallback = GhostscriptProfiles + "default_cmyk.icc";
    QVERIFY2(QFileInfo::exists(fallback), "the default CMYK profile (libgs-common) is missing");
    const QList<QColor> byDefault = transicc(fallback, inks);
    QCOMPARE(byDefault.size(), inks.size());
    // A profile of its own, unlike the default one.
    const QString own = GhostscriptProfiles + "ps_cmyk.icc";
    const QList<QColor> byOwn = transicc(own, inks);
    QTEST_ASSERT(byOwn != byDefault);
    QTest::newRow("Adobe CMYK, inks inverted, no profile")
        << cmykJpeg(inks, Side, true, false) << byDefault;
    QTest::newRow("Adobe YCCK, no profile") << cmykJpeg(inks, Side, true, true) << byDefault;
    QTest::newRow("plain CMYK without Adobe's marker")
        << cmykJpeg(inks, Side, false, false) << byDefault;
    QTest::newRow("Adobe CMYK with its own profile")
        << cmykJpeg(inks, Side, true, false, readFile(own)) << byOwn;
    QTest::newRow("Adobe YCCK with its own profile")
        << cmykJpeg(inks, Side, true, true, readFile(own)) << byOwn;
}

void TstColour::cmykJpegsShowTheirInks()
{
    QFETCH(QByteArray, picture);
    QFETCH(QList<QColor>, expected);
    comparePatches(decoded(picture), expected, 4);
}

void TstColour::deepPicturesKeepTheirPrecision()
{
    // The darkest sixteenth of linear light over 1024 columns: in 8 bits it would be 16
    // levels, shown in sRGB as steps of up to 13.
    QImage ramp(1024, 4, QImage::Format_RGBX64);
    for (int y = 0; y < ramp.height(); ++y)
        for (int x = 0; x < ramp.width(); ++x)
            ramp.setPixelColor(x, y,
                               QColor::fromRgba64(QRgba64::fromRgba64(x * 4, x * 4, x * 4, 65535)));
    const QImage shown = decoded(encoded(ramp, "png", QColorSpace(QColorSpace::SRgbLinear)));
    int worst = 0;
    for (int x = 0; x < ramp.width(); ++x) {
        const double linear = x * 4 / 65535.0;
        const double want = 255 * (linear <= 0.0031308 ? 12.92 * linear
                                                       : 1.055 * std::pow(linear, 1 / 2.4) - 0.055);
        worst = qMax(worst, qAbs(qRed(shown.pixel(x, 2)) - qRound(want)));
    }
    QVERIFY2(worst <= 1, qPrintable(QString("off by %1 levels").arg(worst)));
}

void TstColour::picturesThatAreSrgbStayAsTheirNumbersAre_data()
{
    QTest::addColumn<QByteArray>("picture");
    QTest::addColumn<QByteArray>("untagged");
    const QImage photo = positionPicture(QSize(320, 240));
    const QByteArray jpeg = encoded(photo, "jpeg");
    const QByteArray png = encoded(photo, "png");
    const QByteArray deepPng = encoded(photo.convertToFormat(QImage::Format_RGBX64), "png");
    const QByteArray qtSrgb = QColorSpace(QColorSpace::SRgb).iccProfile();
    const QByteArray lcmsSrgb = lcmsProfile(cmsCreate_sRGBProfile());
    const QByteArray p3 = QColorSpace(QColorSpace::DisplayP3).iccProfile();
    const auto withIcc = [&](const QByteArray &icc) {
        return jpegWithSegments(jpeg, {{0xE2, iccSegment(icc)}});
    };
    QTest::newRow("JPEG with Qt's sRGB profile") << withIcc(qtSrgb) << jpeg;
    QTest::newRow("JPEG with Little CMS's sRGB profile") << withIcc(lcmsSrgb) << jpeg;
    QTest::newRow("JPEG with a damaged profile")
        << withIcc(p3.left(100) + QByteArray(300, 'x')) << jpeg;
    QTest::newRow("JPEG with a CMYK profile")
        << withIcc(readFile(GhostscriptProfiles + "ps_cmyk.icc")) << jpeg;
    QTest::newRow("JPEG with a grey profile") << withIcc(greyGamma22()) << jpeg;
    QTest::newRow("PNG with an sRGB chunk") << pngWithChunks(png, {QByteArray("sRGB\0", 5)}) << png;
    QTest::newRow("PNG with gamma alone")
        << pngWithChunks(png, {QByteArray("gAMA\0\0\xB1\x8F", 8)}) << png;
    QTest::newRow("PNG with an sRGB profile") << pngWithChunks(png, {iccpChunk(lcmsSrgb)}) << png;
    QByteArray badCrc = pngWithChunks(png, {iccpChunk(p3)});
    badCrc[33 + 8 + iccpChunk(p3).size() - 4] = char(badCrc[33 + 8 + iccpChunk(p3).size() - 4] ^ 1);
    QTest::newRow("PNG with a profile whose checksum fails") << badCrc << png;
    QTest::newRow("16-bit PNG with an sRGB profile")
        << pngWithChunks(deepPng, {iccpChunk(qtSrgb)}) << deepPng;
}

void TstColour::picturesThatAreSrgbStayAsTheirNumbersAre()
{
    QFETCH(QByteArray, picture);
    QFETCH(QByteArray, untagged);
    for (const QSize size : {QSize(), QSize(200, 100)}) {
        const QImage tagged = decoded(picture, size), plain = decoded(untagged, size);
        QCOMPARE(tagged.format(), plain.format());
        QCOMPARE(tagged.size(), plain.size());
        // The pixels' bytes; what the decoder says of their colour may differ.
        for (int y = 0; y < plain.height(); ++y)
            QVERIFY(std::equal(plain.constScanLine(y),
                               plain.constScanLine(y) + plain.bytesPerLine(),
                               tagged.constScanLine(y)));
    }
}

QTEST_GUILESS_MAIN(TstColour)
#include "tst_colour.moc"
