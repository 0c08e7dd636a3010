#include "bench.h"

#include "core/error.h"
#include "core/picturereader.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

namespace bench {

namespace {

// The size the window's preview asks the reader for.
const QSize PreviewDecode(400, 200);

using Clock = std::chrono::steady_clock;

// CPU time of the whole process, all threads, in ms: on a shared machine steadier than
// the wall clock.
double cpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

struct Decode {
    double ms, cpu;
    long peakKb; // how far this decode raised the peak resident size
    qint64 estimate;
};

Decode timedDecode(const QString &path, QSize size)
{
    resetPeak();
    const long before = statusKb("VmHWM");
    const auto start = Clock::now();
    const double cpuStart = cpuMs();
    tk::PictureReader reader(path);
    const qint64 estimate = reader.peakBytes(size);
    const QImage image = reader.read(size);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    const double cpu = cpuMs() - cpuStart;
    if (image.isNull() || (size.isValid() && image.size() != size))
        throw tk::Error(QStringLiteral("wrong decode of ") + path);
    return {ms, cpu, statusKb("VmHWM") - before, estimate};
}


} // namespace

int measureDecode(const QString &path, int runs)
{
    try {
        // The first decode of each kind, before anything has grown the heap, gives the memory.
        const Decode full = timedDecode(path, QSize());
        const Decode preview = timedDecode(path, PreviewDecode);
        std::vector<double> fullMs, previewMs, fullCpu, previewCpu;
        for (int i = 0; i < runs; ++i) {
            const Decode f = timedDecode(path, QSize()), p = timedDecode(path, PreviewDecode);
            fullMs.push_back(f.ms);
            fullCpu.push_back(f.cpu);
            previewMs.push_back(p.ms);
            previewCpu.push_back(p.cpu);
        }
        const QSize pixels = tk::PictureReader(path).size();
        std::printf("picture=%s pixels=%dx%d bytes=%lld runs=%d full_ms=%.1f full_cpu_ms=%.1f "
                    "preview_ms=%.1f preview_cpu_ms=%.1f full_peak_mb=%.1f full_estimate_mb=%.1f "
                    "preview_peak_mb=%.1f "
                    "preview_estimate_mb=%.1f\n",
                    qPrintable(QFileInfo(path).fileName()), pixels.width(), pixels.height(),
                    QFileInfo(path).size(), runs, median(fullMs), median(fullCpu),
                    median(previewMs), median(previewCpu), full.peakKb / 1024.0,
                    full.estimate / 1048576.0, preview.peakKb / 1024.0,
                    preview.estimate / 1048576.0);
    } catch (const tk::Error &error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 1;
    }
    return 0;
}

} // namespace bench
