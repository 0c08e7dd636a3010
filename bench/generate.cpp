#include "bench.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>
#include <cmath>
#include <cstdio>
#include <vector>

namespace bench {

namespace {

struct Sample {
    const char *name;
    QSize size;
    const char *format;
    int quality; // -1: the writer's default
};

const Sample Samples[] = {
    {"photo-12mp.jpg", QSize(4000, 3000), "jpeg", 90},
    {"photo-48mp.jpg", QSize(8000, 6000), "jpeg", 90},
    {"photo-12mp.png", QSize(4000, 3000), "png", -1},
};

// xorshift64*: plenty for sensor-like noise and far cheaper than <random>.
struct Noise {
    quint64 state = 0x9E3779B97F4A7C15ull;
    quint64 next()
    {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return state * 0x2545F4914F6CDD1Dull;
    }
};

// A smooth ramp with a slow wave over `n` samples, one table per channel.
std::vector<int> wave(int n, double ramp, double cycles, double phase, double amplitude)
{
    std::vector<int> table(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / n;
        table[size_t(i)] = int(ramp * t + amplitude * std::sin(2 * M_PI * cycles * t + phase));
    }
    return table;
}

// Gradients and waves carry the picture; per-pixel noise gives the decoder the work a
// real camera photo gives it.
QImage photo(QSize size)
{
    const int w = size.width(), h = size.height();
    QImage image(size, QImage::Format_RGB32);
    std::vector<int> cols[3], rows[3], diagonals[3];
    for (int c = 0; c < 3; ++c) {
        cols[c] = wave(w, 60 + 30 * c, 1.5 + c, 0.7 * c, 40);
        rows[c] = wave(h, 90 - 35 * c, 2.0 + 0.5 * c, 1.3 * c, 35);
        diagonals[c] = wave(w + h, 0, 3.0 + c, 0.4 * c, 25);
    }
    Noise noise;
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const quint64 bits = noise.next();
            int rgb[3];
            for (int c = 0; c < 3; ++c) {
                const int grain = int((bits >> (8 * c)) & 0xFF) % 33 - 16;
                const int v = 70 + cols[c][size_t(x)] + rows[c][size_t(y)] +
                              diagonals[c][size_t(x + y)] + grain;
                rgb[c] = qBound(0, v, 255);
            }
            line[x] = qRgb(rgb[0], rgb[1], rgb[2]);
        }
    }
    return image;
}

bool write(const QImage &image, const QString &path, const Sample &sample)
{
    // Through a temporary file, so an interrupted run never leaves a half picture
    // that a later run would skip as existing.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    QImageWriter writer(&file, sample.format);
    writer.setQuality(sample.quality);
    if (!writer.write(image) || !file.commit()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

} // namespace

int generate(const QString &folder)
{
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    for (const Sample &sample : Samples) {
        const QString path = QDir(folder).filePath(QLatin1String(sample.name));
        if (QFileInfo::exists(path)) {
            std::printf("kept %s\n", qPrintable(path));
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        if (!write(photo(sample.size), path, sample))
            return 1;
        std::printf("wrote %s (%lld bytes, %lld ms)\n", qPrintable(path), QFileInfo(path).size(),
                    timer.elapsed());
    }
    return 0;
}

} // namespace bench
