#include "core/canvas.h"
#include "core/error.h"
#include "testsupport.h"
#include "tiles/resample.h"
#include "tiles/tileexport.h"
#include "tiles/framing.h"
#include "tiles/tilegrid.h"
#include "tiles/wall.h"
#include "tiles/wallchoice.h"

#include <QDir>
#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <vector>

using namespace testsupport;

namespace {

const QSizeF PreviewScale(5940, 2940);
const QSize PreviewPixels(396, 196);
const QSizeF CanvasOuter(2250, 2250);
const QSize CanvasInner(146, 146);

// Independent resampler: bilinear with pixel centres at +0.5, reading only pixels of
// the source rectangle's whole-pixel hull, as a plain scaled copy of that region does.
QImage oracleTile(const QImage &preview, const tk::TileRect &twips)
{
    const double x2 = twips.x / 15.0, y2 = twips.y / 15.0;
    const double w2 = twips.width / 15.0, h2 = twips.height / 15.0;
    const int left = int(std::floor(x2)), top = int(std::floor(y2));
    const int right = int(std::ceil(x2 + w2)) - 1, bottom = int(std::ceil(y2 + h2)) - 1;
    QImage tile(CanvasInner, QImage::Format_RGB32);
    for (int j = 0; j < tile.height(); ++j) {
        for (int i = 0; i < tile.width(); ++i) {
            const double fx = x2 + (i + 0.5) * w2 / 150.0 - 0.5;
            const double fy = y2 + (j + 0.5) * h2 / 150.0 - 0.5;
            const int x0 = int(std::floor(fx)), y0 = int(std::floor(fy));
            const double tx = fx - x0, ty = fy - y0;
            auto at = [&](int x, int y) {
                return preview.pixel(qBound(left, x, right), qBound(top, y, bottom));
            };
            auto mix = [&](int (*channel)(QRgb)) {
                const double a = channel(at(x0, y0)) * (1 - tx) + channel(at(x0 + 1, y0)) * tx;
                const double b =
                    channel(at(x0, y0 + 1)) * (1 - tx) + channel(at(x0 + 1, y0 + 1)) * tx;
                return int(std::lround(a * (1 - ty) + b * ty));
            };
            tile.setPixel(i, j, qRgb(mix(qRed), mix(qGreen), mix(qBlue)));
        }
    }
    return tile;
}

// Independent Lanczos-3, slow and plain: every source pixel of the line weighed by the
// kernel (widened by the shrink factor) round the output pixel's centre, the weights cut
// at the picture's edges and scaled back up to 1. Vertical sums rounded to 8 bits before
// the horizontal ones, as a two-pass resampler of 8-bit pictures does.
std::vector<double> lanczosWeights(double centre, double scale, int size)
{
    const double widen = std::max(scale, 1.0);
    std::vector<double> weights(size_t(size), 0.0);
    double total = 0;
    for (int k = 0; k < size; ++k) {
        const double x = (k + 0.5 - centre) / widen;
        const double w = x == 0 ? 1
                         : std::abs(x) >= 3
                             ? 0
                             : 3 * std::sin(M_PI * x) * std::sin(M_PI * x / 3) / (M_PI * M_PI * x * x);
        weights[size_t(k)] = w;
        total += w;
    }
    for (double &w : weights)
        w /= total;
    return weights;
}

int toByte(double v)
{
    return std::clamp(int(std::lround(v)), 0, 255);
}

QImage lanczosTile(const QImage &picture, const QRectF &source, QSize out)
{
    const double sx = source.width() / out.width(), sy = source.height() / out.height();
    QImage tile(out, QImage::Format_RGB32);
    std::vector<QRgb> column(size_t(picture.width()));
    for (int j = 0; j < out.height(); ++j) {
        const auto wy = lanczosWeights(source.y() + (j + 0.5) * sy, sy, picture.height());
        for (int x = 0; x < picture.width(); ++x) {
            double r = 0, g = 0, b = 0;
            for (int y = 0; y < picture.height(); ++y) {
                const QRgb p = picture.pixel(x, y);
                r += wy[size_t(y)] * qRed(p), g += wy[size_t(y)] * qGreen(p), b += wy[size_t(y)] * qBlue(p);
            }
            column[size_t(x)] = qRgb(toByte(r), toByte(g), toByte(b));
        }
        for (int i = 0; i < out.width(); ++i) {
            const auto wx = lanczosWeights(source.x() + (i + 0.5) * sx, sx, picture.width());
            double r = 0, g = 0, b = 0;
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb p = column[size_t(x)];
                r += wx[size_t(x)] * qRed(p), g += wx[size_t(x)] * qGreen(p), b += wx[size_t(x)] * qBlue(p);
            }
            tile.setPixel(i, j, qRgb(toByte(r), toByte(g), toByte(b)));
        }
    }
    return tile;
}

// Ramps, and waves of a few pixels whose phase shows a shift of half a pixel.
QImage wavePicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y,
                           qRgb(x * 255 / (size.width() - 1), y * 255 / (size.height() - 1),
                                toByte(128 + 110 * std::sin(2 * M_PI * (x / 9.0 + y / 7.0)))));
    return image;
}

QImage paintedTile(const QImage &preview, const tk::TileRect &rect)
{
    tk::Canvas canvas(CanvasInner);
    tk::paintTile(preview, rect, canvas, CanvasOuter);
    return canvas.image();
}

} // namespace

class TstTiles : public QObject {
    Q_OBJECT
private slots:
    void tableMatchesWorkedExample_data();
    void tableMatchesWorkedExample();
    void gridLinesDivideInnerArea();
    void tilesShowTheirOwnCells();
    void tilesMatchAnIndependentResampler();
    void wallsLieWithinThePicture_data();
    void wallsLieWithinThePicture();
    void fullResolutionTilesMatchLanczos_data();
    void fullResolutionTilesMatchLanczos();
    void savedTilesAreJpegAndReplaceOldOnes();
    void failingSaveStopsAndKeepsEarlierTiles();
};

void TstTiles::tableMatchesWorkedExample_data()
{
    QTest::addColumn<int>("tile");
    QTest::addColumn<QRectF>("expected");
    QTest::newRow("1 top-left, no outer margin") << 1 << QRectF(0, 0, 1483, 1468);
    QTest::newRow("2 gutter left of it") << 2 << QRectF(1487, 0, 1481, 1468);
    QTest::newRow("3 two-C computed as C+C") << 3 << QRectF(2972, 0, 1481, 1468);
    QTest::newRow("4 ends at the right edge") << 4 << QRectF(4457, 0, 1483, 1468);
    QTest::newRow("5 row gutter above it") << 5 << QRectF(0, 1472, 1483, 1468);
    QTest::newRow("6 two twips shorter") << 6 << QRectF(1487, 1472, 1481, 1466);
    QTest::newRow("7 two twips shorter") << 7 << QRectF(2972, 1472, 1481, 1466);
    QTest::newRow("8 ends at the bottom-right") << 8 << QRectF(4457, 1472, 1483, 1468);
}

void TstTiles::tableMatchesWorkedExample()
{
    QFETCH(int, tile);
    QFETCH(QRectF, expected);
    const tk::TileRect r = tk::tileRects(5940, 2940)[size_t(tile - 1)];
    QCOMPARE(QRectF(r.x, r.y, r.width, r.height), expected);
    QCOMPARE(tk::tileFileName(tile), QString::number(tile) + ".jpg");
}

void TstTiles::gridLinesDivideInnerArea()
{
    const tk::GridLines design = tk::gridLines(5940, 2940, 0);
    QCOMPARE(QList<float>({design.x1, design.x2, design.x3, design.y}),
             QList<float>({1485, 2970, 4455, 1470}));
    const tk::GridLines small = tk::gridLines(400, 200, 0);
    QCOMPARE(QList<float>({small.x1, small.x2, small.x3, small.y}),
             QList<float>({100, 200, 300, 100}));
    QCOMPARE(tk::gridLines(400, 200, 30).y, 130.0f);
}

void TstTiles::tilesShowTheirOwnCells()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    tk::Canvas canvas(CanvasInner);
    tk::cutTiles(gridPicture(PreviewPixels, 4, 2), PreviewScale, canvas, CanvasOuter, folder);
    for (int k = 1; k <= tk::TileCount; ++k) {
        const QImage tile(folder + tk::tileFileName(k));
        QCOMPARE(tile.size(), CanvasInner);
        const QColor centre = tile.pixelColor(73, 73);
        QVERIFY2(sameColour(centre, cellColour(k - 1), 12),
                 qPrintable(QString("tile %1 shows %2").arg(k).arg(centre.name())));
    }
}

void TstTiles::tilesMatchAnIndependentResampler()
{
    const QImage preview = positionPicture(PreviewPixels);
    const auto rects = tk::tileRects(5940, 2940);
    const int tolerance = 5;
    for (int k = 1; k <= tk::TileCount; ++k) {
        const tk::TileRect r = rects[size_t(k - 1)];
        const int diff = maxChannelDifference(paintedTile(preview, r), oracleTile(preview, r));
        QVERIFY2(diff <= tolerance, qPrintable(QString("tile %1 differs by %2").arg(k).arg(diff)));
    }
    // The test would see the gutter and the short tiles go missing.
    const tk::TileRect noGutter{1485, 0, 1485, 1468};
    QVERIFY(maxChannelDifference(paintedTile(preview, noGutter), oracleTile(preview, rects[1])) >
            tolerance);
    tk::TileRect fullHeight = rects[5];
    fullHeight.height = rects[4].height;
    QVERIFY(maxChannelDifference(paintedTile(preview, fullHeight), oracleTile(preview, rects[5])) >
            tolerance);
}

void TstTiles::wallsLieWithinThePicture_data()
{
    QTest::addColumn<QString>("options"); // grid, fit and crop, as the command lines say them
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QRectF>("frame");    // as the user left it; empty: none placed
    QTest::addColumn<QRectF>("expected"); // the part the wall is laid over; empty: centred, as large as fits
    const QRectF none;
    QTest::newRow("stretch covers the whole picture") << "3x1 stretch" << QSize(400, 300) << none
                                                      << QRectF(0, 0, 400, 300);
    QTest::newRow("stretch over a region") << "2x2 stretch 10,20,100,50" << QSize(400, 300) << none
                                           << QRectF(10, 20, 100, 50);
    QTest::newRow("one tile, centred square") << "1x1 crop" << QSize(400, 300) << none
                                              << QRectF(50, 0, 300, 300);
    QTest::newRow("dragged past the top left") << "1x1 crop" << QSize(400, 300)
                                               << QRectF(-100, -100, 200, 200)
                                               << QRectF(0, 0, 200, 200);
    QTest::newRow("dragged past the bottom right") << "1x1 crop" << QSize(400, 300)
                                                   << QRectF(350, 250, 200, 200)
                                                   << QRectF(200, 100, 200, 200);
    QTest::newRow("zoomed past the picture") << "1x1 crop" << QSize(400, 300)
                                             << QRectF(0, 0, 1000, 1000) << QRectF(100, 0, 300, 300);
    QTest::newRow("frame within a region") << "1x1 crop 100,100,200,100" << QSize(400, 300)
                                           << QRectF(0, 0, 50, 50) << QRectF(100, 100, 50, 50);
    QTest::newRow("nine-grid of a 4:3 photo") << "3x3 crop" << QSize(4000, 3000) << none << none;
    QTest::newRow("banner of a 4:3 photo") << "3x1 crop" << QSize(4000, 3000) << none << none;
    QTest::newRow("another wall's frame reshaped") << "3x1 crop" << QSize(4000, 3000)
                                                   << QRectF(1000, 500, 2000, 2000) << none;
    QTest::newRow("picture smaller than the wall") << "3x3 crop" << QSize(2, 2) << none << none;
    QTest::newRow("ten by ten") << "10x10 crop" << QSize(1000, 5000) << none << none;
}

void TstTiles::wallsLieWithinThePicture()
{
    QFETCH(QString, options);
    QFETCH(QSize, picture);
    QFETCH(QRectF, frame);
    QFETCH(QRectF, expected);
    const QStringList words = options.split(' ');
    tk::Wall wall;
    QVERIFY(tk::readGrid(words[0], wall).isEmpty());
    QVERIFY(tk::readFit(words[1], wall).isEmpty());
    if (words.size() > 2)
        QVERIFY(tk::readCrop(words[2], wall).isEmpty());
    wall.frame = frame;
    const QSizeF size(picture);
    const QRectF area = tk::wallArea(wall, size);
    const QList<QRectF> cells = tk::wallCells(wall, size);
    constexpr double Tolerance = 1e-6;
    const auto near = [](double a, double b) { return std::abs(a - b) <= Tolerance * (1 + std::abs(b)); };

    if (!expected.isEmpty()) {
        QVERIFY2(near(area.left(), expected.left()) && near(area.top(), expected.top()) &&
                     near(area.width(), expected.width()) && near(area.height(), expected.height()),
                 qPrintable(QString("%1,%2 %3x%4").arg(area.left()).arg(area.top()).arg(area.width()).arg(area.height())));
    } else if (frame.isEmpty()) {
        // Centred, and as large as fits: it touches two opposite edges of the picture.
        QVERIFY(near(area.center().x(), size.width() / 2) && near(area.center().y(), size.height() / 2));
        QVERIFY(near(area.width(), size.width()) || near(area.height(), size.height()));
    }
    QVERIFY(QRectF(QPointF(0, 0), size).adjusted(-Tolerance, -Tolerance, Tolerance, Tolerance).contains(area));

    // Cells in upload order, row by row, from the area's edges to its edges; with "crop"
    // every one is square, so nothing is squashed.
    QCOMPARE(cells.size(), wall.columns * wall.rows);
    QVERIFY(near(cells.first().left(), area.left()) && near(cells.first().top(), area.top()));
    QVERIFY(near(cells.last().right(), area.right()) && near(cells.last().bottom(), area.bottom()));
    for (int i = 0; i < cells.size(); ++i) {
        const QRectF &cell = cells[i];
        QVERIFY(cell.width() > 0 && cell.height() > 0);
        QVERIFY(area.adjusted(-Tolerance, -Tolerance, Tolerance, Tolerance).contains(cell));
        if (wall.fit == tk::Fit::Crop)
            QVERIFY2(near(cell.width(), cell.height()),
                     qPrintable(QString("tile %1: %2 x %3").arg(i + 1).arg(cell.width()).arg(cell.height())));
        if (i % wall.columns)
            QVERIFY(cell.left() > cells[i - 1].right() && near(cell.top(), cells[i - 1].top()));
        else if (i > 0)
            QVERIFY(cell.top() > cells[i - wall.columns].bottom());
    }
}

void TstTiles::fullResolutionTilesMatchLanczos_data()
{
    QTest::addColumn<QRectF>("source");
    QTest::addColumn<QSize>("out");
    // In a 120 × 90 picture.
    QTest::newRow("shrinking 2.6x, reading past the rectangle")
        << QRectF(31.3, 22.7, 52, 39) << QSize(20, 15);
    QTest::newRow("enlarging 2.3x at the top-left corner") << QRectF(0, 0, 17.5, 13) << QSize(40, 30);
    QTest::newRow("enlarging at the bottom-right corner") << QRectF(105, 78, 15, 12) << QSize(37, 29);
    QTest::newRow("shrinking across, enlarging down") << QRectF(10.25, 5.5, 80, 12) << QSize(30, 35);
    QTest::newRow("the whole picture, shrunk to a square") << QRectF(0, 0, 120, 90) << QSize(33, 33);
}

void TstTiles::fullResolutionTilesMatchLanczos()
{
    QFETCH(QRectF, source);
    QFETCH(QSize, out);
    const QImage picture = wavePicture(QSize(120, 90));
    const QImage tile = tk::resampleRegion(picture, source, out);
    QCOMPARE(tile.size(), out);
    const int tolerance = 1;
    const int diff = maxChannelDifference(tile, lanczosTile(picture, source, out));
    QVERIFY2(diff <= tolerance, qPrintable(QString("differs by %1").arg(diff)));
    // The comparison would see a shift of half a pixel either way.
    for (const QPointF shift : {QPointF(0.5, 0), QPointF(0, 0.5)})
        QVERIFY(maxChannelDifference(tile, lanczosTile(picture, source.translated(shift), out)) >
                3 * tolerance);
}

void TstTiles::savedTilesAreJpegAndReplaceOldOnes()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    writeBytes("old tile", folder + "1.jpg");
    writeBytes("unrelated", folder + "9.jpg");
    tk::Canvas canvas(CanvasInner);
    const QImage preview = positionPicture(PreviewPixels);
    tk::cutTiles(preview, PreviewScale, canvas, CanvasOuter, folder);

    QList<QByteArray> first;
    for (const QString &path : tk::tilePaths(folder)) {
        const QByteArray bytes = readBytes(path);
        QVERIFY2(bytes.startsWith("\xFF\xD8\xFF"), qPrintable(path));
        QCOMPARE(QImageReader(path).format(), QByteArray("jpeg"));
        first << bytes;
    }
    QCOMPARE(readBytes(folder + "9.jpg"), QByteArray("unrelated"));

    tk::cutTiles(preview, PreviewScale, canvas, CanvasOuter, folder);
    for (int k = 1; k <= tk::TileCount; ++k)
        QCOMPARE(readBytes(folder + tk::tileFileName(k)), first[k - 1]);
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 9);
}

void TstTiles::failingSaveStopsAndKeepsEarlierTiles()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    QVERIFY(QDir(folder).mkdir("3.jpg"));
    tk::Canvas canvas(CanvasInner);
    try {
        tk::cutTiles(positionPicture(PreviewPixels), PreviewScale, canvas, CanvasOuter, folder);
        QFAIL("a folder in the way of 3.jpg must stop the run");
    } catch (const tk::Error &e) {
        QVERIFY2(e.message().contains(folder + "3.jpg"), qPrintable(e.message()));
    }
    QVERIFY(QFileInfo(folder + "1.jpg").isFile());
    QVERIFY(QFileInfo(folder + "2.jpg").isFile());
    QVERIFY(QFileInfo(folder + "3.jpg").isDir());
    QVERIFY(!QFileInfo::exists(folder + "4.jpg"));
    // No half-written leftovers.
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);

    try {
        tk::cutTiles(positionPicture(PreviewPixels), PreviewScale, canvas, CanvasOuter,
                     folder + "gone/");
        QFAIL("a vanished folder must stop the run");
    } catch (const tk::Error &e) {
        QVERIFY2(e.message().contains("gone/1.jpg"), qPrintable(e.message()));
    }
}

QTEST_GUILESS_MAIN(TstTiles)
#include "tst_tiles.moc"
