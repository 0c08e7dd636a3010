#include "shell/walloverlay.h"

#include "shell/platform/picturebox.h"
#include "tiles/framing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace tk {

namespace {

// The frame's smallest width on the preview, in its pixels.
constexpr double MinimumFramePixels = 24;
// One notch of the wheel, or one press of + or −, sizes the frame by this much.
constexpr double ZoomStep = 1.1;
// An arrow key moves the frame by this many preview pixels; with Shift, ten times that.
constexpr double ArrowStep = 1;
const QColor Dimmed(0, 0, 0, 120);
const QColor Outline(0, 0, 0, 200);

} // namespace

WallOverlay::WallOverlay(PictureBox *preview) : QWidget(preview->inner())
{
    setObjectName(QStringLiteral("wallOverlay"));
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(preview->inner()->rect());
    preview->installEventFilter(this);
    setWall(Wall(), QSize(), QRectF());
}

void WallOverlay::setWall(const Wall &wall, QSize picture, const QRectF &placement)
{
    m_wall = wall;
    m_picture = picture;
    m_placement = placement;
    m_dragging = false;
    // Only a frame to move takes the pointer; else drops, drags and tooltips go through.
    setAttribute(Qt::WA_TransparentForMouseEvents, !cropping());
    setCursor(cropping() ? Qt::OpenHandCursor : Qt::ArrowCursor);
    setVisible(!picture.isEmpty() && !wall.isDesignChoice());
    update();
}

void WallOverlay::setLinesShown(bool shown)
{
    m_linesShown = shown;
    update();
}

void WallOverlay::setFrameHandler(std::function<void(const QRectF &)> handler)
{
    m_frameHandler = std::move(handler);
}

bool WallOverlay::cropping() const
{
    return m_wall.fit == Fit::Crop && !m_picture.isEmpty();
}

double WallOverlay::scale() const
{
    return m_placement.width() / m_picture.width();
}

QRectF WallOverlay::region() const
{
    const QRectF whole(QPointF(0, 0), QSizeF(m_picture));
    return m_wall.region.isNull() ? whole : QRectF(m_wall.region) & whole;
}

QRectF WallOverlay::frame() const
{
    return wallArea(m_wall, QSizeF(m_picture));
}

void WallOverlay::setFrame(const QRectF &frame)
{
    m_wall.frame = frame;
    update();
    if (m_frameHandler)
        m_frameHandler(frame);
}

void WallOverlay::moveFrameBy(QPointF delta)
{
    if (cropping())
        setFrame(movedFrame(frame(), delta / scale(), region()));
}

void WallOverlay::zoomFrameBy(double factor, QPointF anchor)
{
    if (!cropping())
        return;
    const QPointF at = (anchor - m_placement.topLeft()) / scale();
    setFrame(zoomedFrame(frame(), factor, at, region(),
                         std::max(double(m_wall.columns), MinimumFramePixels / scale())));
}

void WallOverlay::paintEvent(QPaintEvent *)
{
    if (m_picture.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const CutOverlay overlay = cutOverlay(m_wall, QSizeF(m_picture), m_placement);
    if (cropping()) {
        QPainterPath outside;
        outside.addRect(m_placement);
        QPainterPath inside;
        inside.addRect(overlay.area);
        painter.fillPath(outside.subtracted(inside), Dimmed);
        painter.setPen(QPen(Outline, 3));
        painter.drawRect(overlay.area);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(overlay.area);
    }
    if (!m_linesShown)
        return;
    // White on a dark edge, so the lines show on light and dark pictures alike.
    painter.setPen(QPen(Outline, 4));
    painter.drawLines(overlay.lines);
    painter.setPen(QPen(Qt::white, 2));
    painter.drawLines(overlay.lines);
    for (int i = 0; i < overlay.cells.size(); ++i)
        paintNumber(painter, overlay.cells[i], i + 1);
}

void WallOverlay::paintNumber(QPainter &painter, const QRectF &cell, int number) const
{
    QFont font = this->font();
    font.setBold(true);
    font.setPixelSize(std::clamp(int(std::min(cell.width(), cell.height()) * 0.45), 7, 28));
    QPainterPath text;
    text.addText(0, 0, font, QString::number(number));
    const QRectF bounds = text.boundingRect();
    text.translate(cell.center() - bounds.center());
    painter.strokePath(text, QPen(Outline, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(text, Qt::white);
}

void WallOverlay::mousePressEvent(QMouseEvent *event)
{
    const CutOverlay overlay = cutOverlay(m_wall, QSizeF(m_picture), m_placement);
    if (event->button() == Qt::LeftButton && overlay.area.contains(event->position())) {
        m_dragging = true;
        m_pressedAt = event->position();
        m_frameAtPress = frame();
        setCursor(Qt::ClosedHandCursor);
    }
    event->accept();
}

void WallOverlay::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging)
        setFrame(movedFrame(m_frameAtPress, (event->position() - m_pressedAt) / scale(), region()));
    event->accept();
}

void WallOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    setCursor(Qt::OpenHandCursor);
    event->accept();
}

void WallOverlay::wheelEvent(QWheelEvent *event)
{
    // Turning the wheel away zooms in: the frame takes a smaller part of the picture.
    const double notches = event->angleDelta().y() / 120.0;
    zoomFrameBy(std::pow(ZoomStep, -notches), event->position());
    event->accept();
}

bool WallOverlay::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !cropping())
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const double step = ArrowStep * (key->modifiers() & Qt::ShiftModifier ? 10 : 1);
    const QPointF centre = cutOverlay(m_wall, QSizeF(m_picture), m_placement).area.center();
    switch (key->key()) {
    case Qt::Key_Left:
        moveFrameBy(QPointF(-step, 0));
        return true;
    case Qt::Key_Right:
        moveFrameBy(QPointF(step, 0));
        return true;
    case Qt::Key_Up:
        moveFrameBy(QPointF(0, -step));
        return true;
    case Qt::Key_Down:
        moveFrameBy(QPointF(0, step));
        return true;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_PageUp:
        zoomFrameBy(1 / ZoomStep, centre);
        return true;
    case Qt::Key_Minus:
    case Qt::Key_PageDown:
        zoomFrameBy(ZoomStep, centre);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

} // namespace tk
