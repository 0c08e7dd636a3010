#include "intake/intake.h"

#include "core/canvas.h"
#include "core/picturereader.h"
#include "core/units.h"

#include <QPainter>

namespace tk {

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

QSize previewDecodeSize(float outerWidth, float outerHeight)
{
    return QSize(twipsToWholePixels(outerWidth), twipsToWholePixels(outerHeight));
}

QImage loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight,
                       PictureReader &reader, qreal ratio)
{
    const QSize logical = previewDecodeSize(outerWidth, outerHeight);
    const bool sharper = !qFuzzyCompare(ratio, 1.0);
    QList<QSize> sizes{logical};
    if (sharper)
        sizes << QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    QList<QImage> images = reader.read(sizes);
    preview.paintPicture(images.constFirst(), 0.0f, 0.0f, outerWidth, outerHeight);
    if (!sharper)
        return QImage();
    QImage &shown = images.last();
    shown.setDevicePixelRatio(ratio);
    return shown;
}

QRect fittedPlacement(QSize picture, QSize inner)
{
    QSize size = picture.scaled(inner, Qt::KeepAspectRatio);
    size = size.expandedTo(QSize(1, 1));
    return QRect(QPoint((inner.width() - size.width()) / 2, (inner.height() - size.height()) / 2),
                 size);
}

QImage loadFittedIntoPreview(Canvas &preview, PictureReader &reader, qreal ratio)
{
    const QRect placed = fittedPlacement(reader.size(), preview.size());
    const bool sharper = !qFuzzyCompare(ratio, 1.0);
    const QRect device(QPoint(qRound(placed.x() * ratio), qRound(placed.y() * ratio)),
                       QSize(qRound(placed.width() * ratio), qRound(placed.height() * ratio)));
    QList<QSize> sizes{placed.size()};
    if (sharper)
        sizes << device.size();
    const QList<QImage> images = reader.read(sizes);
    preview.reset();
    preview.paintPicture(images.constFirst(), float(placed.x() * TwipsPerPixel),
                         float(placed.y() * TwipsPerPixel), float(placed.width() * TwipsPerPixel),
                         float(placed.height() * TwipsPerPixel));
    if (!sharper)
        return QImage();
    QImage shown(QSize(qRound(preview.size().width() * ratio), qRound(preview.size().height() * ratio)),
                 QImage::Format_RGB32);
    shown.fill(preview.backColor());
    QPainter(&shown).drawImage(device.topLeft(), images.last());
    shown.setDevicePixelRatio(ratio);
    return shown;
}

QImage loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, const QString &path,
                       qreal ratio)
{
    PictureReader reader(path);
    return loadIntoPreview(preview, outerWidth, outerHeight, reader, ratio);
}

} // namespace tk
