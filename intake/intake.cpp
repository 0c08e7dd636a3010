#include "intake/intake.h"

#include "core/canvas.h"
#include "core/picturereader.h"
#include "core/units.h"

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

QImage loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, const QString &path,
                       qreal ratio)
{
    PictureReader reader(path);
    return loadIntoPreview(preview, outerWidth, outerHeight, reader, ratio);
}

} // namespace tk
