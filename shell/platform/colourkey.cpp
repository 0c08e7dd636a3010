#include "shell/platform/colourkey.h"

#include "shell/platform/windowsystem.h"

#include <QImage>
#include <QRegion>
#include <QVector>
#include <QWidget>

namespace tk {

namespace {

// The pixels of `image` that are not `key`, as runs along each row.
QRegion pixelsOtherThan(const QImage &image, QRgb key)
{
    QVector<QRect> runs;
    for (int y = 0; y < image.height(); ++y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            if ((row[x] & RGB_MASK) == (key & RGB_MASK)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < image.width() && (row[x] & RGB_MASK) != (key & RGB_MASK))
                ++x;
            runs.append(QRect(start, y, x - start, 1));
        }
    }
    QRegion region;
    region.setRects(runs.constData(), int(runs.size()));
    return region;
}

} // namespace

void prepareColourKey(QWidget *window)
{
    // X11 may or may not run a compositor; the shape alone works with one and without.
    if (onWayland())
        window->setAttribute(Qt::WA_TranslucentBackground);
}

void setKeyBackground(QWidget *window, QColor key)
{
    if (window->testAttribute(Qt::WA_TranslucentBackground))
        return;
    QPalette background = window->palette();
    background.setColor(QPalette::Window, key);
    window->setPalette(background);
    window->setAutoFillBackground(true);
}

void applyColourKey(QWidget *window, QColor key)
{
    // The window itself shows only its background; its children are drawn one by one
    // rather than the window as a whole, which would be clipped to the mask in force.
    QImage shown(window->size(), QImage::Format_RGB32);
    shown.fill(key);
    for (QWidget *child : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (!child->isVisibleTo(window) || child->isWindow())
            continue;
        // A child that lets the window show through (a label) must not bring a
        // background of its own into the mask: on screen the key shows there.
        QWidget::RenderFlags flags = QWidget::DrawChildren;
        if (child->autoFillBackground())
            flags |= QWidget::DrawWindowBackground;
        child->render(&shown, child->pos(), QRegion(), flags);
    }
    const QRegion region = pixelsOtherThan(shown, key.rgb());
    // An empty mask would mean no mask at all: the whole window would show.
    window->setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
}

} // namespace tk
