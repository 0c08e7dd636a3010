#include "colourkey.h"

#include <QBitmap>
#include <QImage>
#include <QRegion>
#include <QWidget>

namespace tk {

void applyColourKey(QWidget *window, QColor key)
{
    // Rendered in logical pixels, the coordinates a mask is given in.
    QImage shown(window->size(), QImage::Format_RGB32);
    shown.fill(key);
    window->render(&shown, QPoint(), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    const QImage kept = shown.createMaskFromColor(key.rgb(), Qt::MaskOutColor);
    const QRegion region(QBitmap::fromImage(kept));
    // An empty mask would mean no mask at all: the whole window would show.
    window->setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
}

} // namespace tk
