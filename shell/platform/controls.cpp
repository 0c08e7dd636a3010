#include "shell/platform/controls.h"

#include "core/units.h"

#include <QStyle>
#include <QWidget>

namespace tk {

void placeControl(QWidget *control, float left, float top, float width, float height)
{
    control->setGeometry(twipsToWholePixels(left), twipsToWholePixels(top),
                         twipsToWholePixels(width), twipsToWholePixels(height));
}

void centreIn(QWidget *widget, const QRect &area)
{
    widget->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, widget->size(), area));
}

} // namespace tk
