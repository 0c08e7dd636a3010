#include "shell/platform/controls.h"

#include "core/units.h"

#include <QWidget>

namespace tk {

void placeControl(QWidget *control, float left, float top, float width, float height)
{
    control->setGeometry(twipsToWholePixels(left), twipsToWholePixels(top),
                         twipsToWholePixels(width), twipsToWholePixels(height));
}

} // namespace tk
