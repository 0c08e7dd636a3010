#include "bench.h"

#include "cli/options.h"
#include "cli/plan.h"
#include "hostilepictures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLinearGradient>
#include <QPainter>
#include <cstdio>

namespace bench {

namespace {

bool save(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
    return false;
}

QImage gradient(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient ramp(0, 0, size.width(), size.height());
    ramp.setColorAt(0, Qt::darkBlue);
    ramp.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), ramp);
    return image;
}

} // namespace

int generateHostile(const QString &folder, int batch)
{
    const QDir dir(folder);
    const QImage small = gradient(QSize(64, 48));
    const QByteArray photo = hostile::jpegBytes(gradient(QSize(1600, 1200)), false);
    const bool ok = save(dir.filePath("bomb-progressive.jpg"),
                         hostile::claiming(hostile::jpegBytes(small, true), 30000, 30000)) &&
                    save(dir.filePath("bomb-baseline.jpg"),
                         hostile::claiming(hostile::jpegBytes(small, false), 30000, 30000)) &&
                    save(dir.filePath("bomb.png"), hostile::pngBomb(small)) &&
                    save(dir.filePath("bomb.gif"), hostile::gifBomb()) &&
                    save(dir.filePath("bomb.bmp"), hostile::bmpBomb()) &&
                    save(dir.filePath("hole.jpg"), hostile::withHole(photo));
    if (!ok)
        return 1;
    // Whole pictures that their headers understate or whose data ends early.
    if (!save(dir.filePath("icon-png-14000.ico"),
              hostile::iconHolding(hostile::blankPng(QSize(14000, 14000), 4))) ||
        !save(dir.filePath("grey-14000.png"), hostile::blankPng(QSize(14000, 14000), 1)) ||
        !save(dir.filePath("gif-ending-early.gif"), hostile::gifEndingEarly()))
        return 1;
    for (const int scans : {10, 20, 40, 100, 492})
        if (!save(dir.filePath(QStringLiteral("scans-%1.jpg").arg(scans)),
                  hostile::jpegWithManyScans(16000, scans)))
            return 1;
    // An ordinary progressive photo of 100 megapixels, against the bombs of many scans.
    if (!QFileInfo::exists(dir.filePath("photo-100mp-progressive.jpg")) &&
        !save(dir.filePath("photo-100mp-progressive.jpg"),
              hostile::jpegBytes(gradient(QSize(12000, 8400)), true, 85)))
        return 1;
    if (!QFileInfo::exists(dir.filePath("heavy-9000.jpg")) &&
        !save(dir.filePath("heavy-9000.jpg"),
              hostile::jpegBytes(gradient(QSize(9000, 9000)), true, 60)))
        return 1;
    // Same-named pictures, each in a folder of its own: the worst case for naming.
    const QByteArray tiny = hostile::jpegBytes(small, false);
    for (int i = 0; i < batch; ++i)
        if (!save(dir.filePath(QStringLiteral("batch/%1/x.jpg").arg(i)), tiny))
            return 1;
    return 0;
}

int timePlanning(const QStringList &pictures, const QString &out)
{
    tk::CutOptions options;
    options.outDir = out;
    for (const QString &picture : pictures)
        options.pictures << tk::PictureArgument{QFile::encodeName(picture), picture};
    QElapsedTimer timer;
    timer.start();
    const QList<tk::CutJob> jobs = tk::planCuts(options);
    std::printf("pictures=%lld plan_ms=%.1f\n", qlonglong(jobs.size()), timer.nsecsElapsed() / 1e6);
    return 0;
}

} // namespace bench
