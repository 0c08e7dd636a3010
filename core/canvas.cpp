#include "core/canvas.h"

#include "core/units.h"

#include <QPainter>

namespace tk {

namespace {

QRectF toPixels(float x, float y, float w, float h)
{
    return QRectF(twipsToPixels(x), twipsToPixels(y), twipsToPixels(w), twipsToPixels(h));
}

} // namespace

Canvas::Canvas(QSize innerPixels, QColor backColor) : m_backColor(backColor)
{
    resize(innerPixels);
}

void Canvas::resize(QSize innerPixels)
{
    innerPixels = innerPixels.expandedTo(QSize(0, 0));
    if (innerPixels == m_image.size())
        return;
    QImage grown(innerPixels, QImage::Format_RGB32);
    grown.fill(m_backColor);
    if (!m_image.isNull() && !grown.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(0, 0, m_image);
    }
    m_image = grown;
}

void Canvas::reset(const QImage &background)
{
    m_image.fill(m_backColor);
    if (!background.isNull() && !m_image.isNull()) {
        QPainter painter(&m_image);
        painter.drawImage(0, 0, background);
    }
}

void Canvas::paintPicture(const QImage &picture, float x1, float y1, float width1, float height1)
{
    paintPicture(picture, x1, y1, width1, height1, 0.0f, 0.0f,
                 float(picture.width() * TwipsPerPixel), float(picture.height() * TwipsPerPixel));
}

void Canvas::paintPicture(const QImage &picture, float x1, float y1, float width1, float height1,
                          float x2, float y2, float width2, float height2)
{
    if (m_image.isNull() || picture.isNull())
        return;
    const QRectF target = toPixels(x1, y1, width1, height1);
    const QRectF source = toPixels(x2, y2, width2, height2);
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture, source);
}

} // namespace tk
