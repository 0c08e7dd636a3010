#include "shell/platform/lineshape.h"

#include "core/units.h"

#include <QPainter>

namespace tk {

LineShape::LineShape(QWidget *container) : QWidget(container)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void LineShape::setX1(float twips)
{
    setEnd(m_x1, twips);
}

void LineShape::setY1(float twips)
{
    setEnd(m_y1, twips);
}

void LineShape::setX2(float twips)
{
    setEnd(m_x2, twips);
}

void LineShape::setY2(float twips)
{
    setEnd(m_y2, twips);
}

void LineShape::setEnd(float &end, float twips)
{
    end = twips;
    applyGeometry();
}

void LineShape::setBorderColor(QColor colour)
{
    m_colour = colour;
    update();
}

void LineShape::setBorderWidth(int pixels)
{
    m_width = qMax(1, pixels);
    applyGeometry();
}

void LineShape::applyGeometry()
{
    // The widget is the line's bounding box grown by the pen on every side.
    const QPointF a(twipsToPixels(m_x1), twipsToPixels(m_y1));
    const QPointF b(twipsToPixels(m_x2), twipsToPixels(m_y2));
    const QRect box =
        QRectF(a, b).normalized().toAlignedRect().adjusted(-m_width, -m_width, m_width, m_width);
    setGeometry(box);
    update();
}

void LineShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(QPen(m_colour, m_width, Qt::SolidLine, Qt::FlatCap));
    const QPointF origin = pos();
    painter.drawLine(QPointF(twipsToPixels(m_x1), twipsToPixels(m_y1)) - origin,
                     QPointF(twipsToPixels(m_x2), twipsToPixels(m_y2)) - origin);
}

} // namespace tk
