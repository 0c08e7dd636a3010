#include "bench.h"

#include "core/canvas.h"
#include "core/error.h"
#include "intake/intake.h"
#include "tiles/tileexport.h"
#include "tiles/windowgeometry.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace bench {

namespace {

const QSize PreviewPixels = tk::previewInnerPixels();
const QColor PreviewBack(0x80, 0x00, 0x80);
const QSize TilePixels = tk::innerPixels(tk::CanvasSide, tk::CanvasSide);

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Round-trips a tiny JPEG and PNG and paints once, so plugins, codec libraries and
// the raster engine are loaded before the memory baseline: one-off code is no part
// of what a load costs.
bool primeCodecs()
{
    QImage tiny(16, 16, QImage::Format_RGB32);
    tiny.fill(Qt::gray);
    for (const char *format : {"jpeg", "png"}) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImage back;
        if (!tiny.save(&buffer, format) || !back.loadFromData(bytes, format)) {
            std::fprintf(stderr, "no %s support: are the Qt image plugins installed?\n", format);
            return false;
        }
    }
    tk::Canvas canvas(QSize(8, 8));
    canvas.paintPicture(tiny, 0, 0, 120, 120);
    return true;
}

// One load into a fresh preview; checks the picture really arrived. With `peakKb` it
// also records how far the load alone raised the peak resident size.
double timedLoad(const QString &path, long *peakKb = nullptr)
{
    tk::Canvas preview(PreviewPixels, PreviewBack);
    long before = 0;
    if (peakKb) {
        resetPeak();
        before = statusKb("VmHWM");
    }
    const auto start = Clock::now();
    tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
    const double ms = msSince(start);
    if (peakKb) {
        const long after = statusKb("VmHWM");
        if (before < 0 || after < 0)
            throw tk::Error(QStringLiteral("no VmHWM in /proc/self/status"));
        *peakKb = after - before;
    }
    if (preview.image() == tk::Canvas(PreviewPixels, PreviewBack).image())
        throw tk::Error(QStringLiteral("nothing was drawn into the preview"));
    return ms;
}

// One cut into a fresh folder beside the picture, where the program puts its tiles.
double timedCut(const QImage &preview, const QString &besides)
{
    QTemporaryDir dir(besides + QStringLiteral("/tiles-XXXXXX"));
    if (!dir.isValid())
        throw tk::Error(QStringLiteral("cannot create a folder in ") + besides);
    tk::Canvas canvas(TilePixels);
    const auto start = Clock::now();
    tk::cutTiles(preview, QSizeF(tk::PreviewScaleWidth, tk::PreviewScaleHeight), canvas,
                 QSizeF(tk::CanvasSide, tk::CanvasSide), dir.path() + '/');
    const double ms = msSince(start);
    for (const QString &tile : tk::tilePaths(dir.path() + '/')) {
        if (QFileInfo(tile).size() <= 0)
            throw tk::Error(QStringLiteral("tile missing: ") + tile);
    }
    return ms;
}

} // namespace

int measure(const QString &path, int runs)
{
    if (!primeCodecs())
        return 1;
    try {
        // The first load, before anything else has grown the heap, gives the memory.
        long peakKb = 0;
        const double first = timedLoad(path, &peakKb);

        std::vector<double> loads, cuts;
        for (int i = 0; i < runs; ++i)
            loads.push_back(timedLoad(path));

        tk::Canvas preview(PreviewPixels, PreviewBack);
        tk::loadIntoPreview(preview, tk::PreviewWidth, tk::PreviewHeight, path);
        const QString folder = QFileInfo(path).absolutePath();
        for (int i = 0; i < runs; ++i)
            cuts.push_back(timedCut(preview.image(), folder));

        const QSize pixels = QImageReader(path).size();
        std::printf("picture=%s format=%s pixels=%dx%d bytes=%lld runs=%d load_first_ms=%.2f "
                    "load_ms=%.2f tiles_ms=%.2f load_peak_mb=%.1f\n",
                    qPrintable(QFileInfo(path).fileName()), QImageReader(path).format().constData(),
                    pixels.width(), pixels.height(), QFileInfo(path).size(), runs, first,
                    median(loads), median(cuts), peakKb / 1024.0);
    } catch (const tk::Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

} // namespace bench
