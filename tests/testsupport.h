#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

// Synthetic pictures whose colours tell where a pixel came from.
namespace testsupport {

// One solid colour per cell of a cols × rows grid, cell (c, r) = cellColour(r * cols + c).
QImage gridPicture(QSize size, int cols, int rows);
QColor cellColour(int index);

// Red rises with x, green with y, blue has sharp stripes: a wrong sub-pixel offset
// shows up as a wrong colour.
QImage positionPicture(QSize size);

void writeImage(const QImage &image, const QString &path, const char *format = nullptr,
                int quality = -1);
void writeBytes(const QByteArray &bytes, const QString &path);
QByteArray readBytes(const QString &path);

// Largest difference of any channel of any pixel.
int maxChannelDifference(const QImage &a, const QImage &b);
bool sameColour(QColor a, QColor b, int tolerance);

} // namespace testsupport
