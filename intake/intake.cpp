#include "intake.h"

#include "canvas.h"
#include "picture.h"
#include "units.h"

namespace tk {

QString folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}

void loadIntoPreview(Canvas &preview, float outerWidth, float outerHeight, const QString &path)
{
    const QSize outer(twipsToWholePixels(outerWidth), twipsToWholePixels(outerHeight));
    const QImage picture = LoadPicture(path, outer);
    preview.paintPicture(picture, 0.0f, 0.0f, outerWidth, outerHeight);
}

} // namespace tk
