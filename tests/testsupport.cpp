#include "testsupport.h"

#include <QFile>
#include <QImageWriter>
#include <QTest>
#include <algorithm>
#include <cstdlib>

namespace testsupport {

QColor cellColour(int index)
{
    static const QColor colours[] = {Qt::red,  Qt::green,   Qt::blue,  Qt::yellow,
                                     Qt::cyan, Qt::magenta, Qt::white, Qt::black};
    return colours[index % 8];
}

QImage gridPicture(QSize size, int cols, int rows)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int c = x * cols / size.width();
            const int r = y * rows / size.height();
            image.setPixelColor(x, y, cellColour(r * cols + c));
        }
    }
    return image;
}

QImage positionPicture(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int red = x * 255 / qMax(1, size.width() - 1);
            const int green = y * 255 / qMax(1, size.height() - 1);
            const int blue = ((x / 3) % 2 == 0) != ((y / 3) % 2 == 0) ? 255 : 0;
            image.setPixel(x, y, qRgb(red, green, blue));
        }
    }
    return image;
}

void writeImage(const QImage &image, const QString &path, const char *format, int quality)
{
    QImageWriter writer(path, format);
    writer.setQuality(quality);
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
}

void writeBytes(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int maxChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return 256;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return worst;
}

bool sameColour(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace testsupport
