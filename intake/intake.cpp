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

void loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, PictureReader &reader)
{
    const QImage picture = reader.read(previewDecodeSize(outerWidth, outerHeight));
    preview.paintPicture(picture, 0.0f, 0.0f, outerWidth, outerHeight);
}

QImage previewRendering(PictureReader &reader, float outerWidth, float outerHeight, qreal ratio)
{
    const QSize logical = previewDecodeSize(outerWidth, outerHeight);
    QImage image =
        reader.read(QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage previewRendering(const QString &path, float outerWidth, float outerHeight, qreal ratio)
{
    PictureReader reader(path);
    return previewRendering(reader, outerWidth, outerHeight, ratio);
}

void loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, const QString &path)
{
    PictureReader reader(path);
    loadIntoPreview(preview, outerWidth, outerHeight, reader);
}

} // namespace tk
