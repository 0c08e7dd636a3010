#include "shell/platform/picturebox.h"

#include "core/units.h"

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace tk {

namespace {

// The picture that follows the pointer while the preview is dragged out, in pixels.
constexpr int DragImageWidth = 120;

std::function<void(const QMimeData &)> &dragHook()
{
    static std::function<void(const QMimeData &)> hook;
    return hook;
}

// Shows the persistent image of its box (or its sharper rendering) and starts drags;
// the box itself draws only the frame.
class InnerArea : public QWidget {
public:
    explicit InnerArea(PictureBox *box) : QWidget(box), m_box(box)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        if (!m_box->displayImage().isNull()) {
            painter.fillRect(rect(), m_box->canvas().backColor());
            painter.drawImage(QPointF(0, 0), m_box->displayImage());
        } else {
            painter.drawImage(0, 0, m_box->canvas().image());
        }
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        m_pressedAt =
            event->button() == Qt::LeftButton ? event->position().toPoint() : QPoint(-1, -1);
        QWidget::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent *event) override
    {
        if ((event->buttons() & Qt::LeftButton) && m_pressedAt.x() >= 0 &&
            (event->position().toPoint() - m_pressedAt).manhattanLength() >=
                QApplication::startDragDistance()) {
            m_pressedAt = QPoint(-1, -1);
            m_box->startDrag();
            return;
        }
        QWidget::mouseMoveEvent(event);
    }

private:
    PictureBox *m_box;
    QPoint m_pressedAt{-1, -1};
};

} // namespace

PictureBox::PictureBox(QWidget *container, bool framed)
    : QWidget(container), m_framed(framed), m_canvas(QSize(), palette().color(QPalette::Button)),
      m_inner(new InnerArea(this))
{
    setFocusPolicy(Qt::StrongFocus);
}

void PictureBox::setLeft(float twips)
{
    move(twips, m_top, m_width, m_height);
}

void PictureBox::setTop(float twips)
{
    move(m_left, twips, m_width, m_height);
}

void PictureBox::setWidth(float twips)
{
    move(m_left, m_top, twips, m_height);
}

void PictureBox::setHeight(float twips)
{
    move(m_left, m_top, m_width, twips);
}

void PictureBox::move(float left, float top, float width, float height)
{
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    applyGeometry();
}

float PictureBox::ScaleWidth() const
{
    return m_width - float(2 * framePixels() * TwipsPerPixel);
}

float PictureBox::ScaleHeight() const
{
    return m_height - float(2 * framePixels() * TwipsPerPixel);
}

void PictureBox::applyGeometry()
{
    const int w = twipsToWholePixels(m_width);
    const int h = twipsToWholePixels(m_height);
    setGeometry(twipsToWholePixels(m_left), twipsToWholePixels(m_top), w, h);
    const int f = framePixels();
    m_inner->setGeometry(f, f, qMax(0, w - 2 * f), qMax(0, h - 2 * f));
    m_canvas.resize(m_inner->size());
}

void PictureBox::setPicture(const Picture &picture)
{
    m_display = QImage();
    m_picture = picture;
    m_canvas.reset(picture.image());
    refresh();
}

void PictureBox::setBackColor(QColor colour)
{
    m_display = QImage();
    m_canvas.setBackColor(colour);
    m_canvas.reset(m_picture.image());
    refresh();
}

void PictureBox::refresh()
{
    m_inner->update();
}

void PictureBox::setDisplayImage(const QImage &image)
{
    m_display = image;
    refresh();
}

void PictureBox::setDropHandler(std::function<void(const QMimeData *)> handler)
{
    m_dropHandler = std::move(handler);
    setAcceptDrops(bool(m_dropHandler));
}

void PictureBox::setDragSource(std::function<QMimeData *()> data)
{
    m_dragData = std::move(data);
}

void PictureBox::startDrag()
{
    QMimeData *data = m_dragData ? m_dragData() : nullptr;
    if (!data)
        return;
    // The drag runs in a loop of its own; a drop back onto this box lands meanwhile.
    const QScopedValueRollback<bool> dragging(m_dragging, true);
    if (dragHook()) {
        dragHook()(*data);
        delete data;
        return;
    }
    auto *drag = new QDrag(this);
    drag->setMimeData(data);
    if (!m_canvas.image().isNull())
        drag->setPixmap(
            QPixmap::fromImage(m_canvas.image().scaledToWidth(DragImageWidth, Qt::SmoothTransformation)));
    drag->exec(Qt::CopyAction);
}

void PictureBox::setDragHook(std::function<void(const QMimeData &)> hook)
{
    dragHook() = std::move(hook);
}

bool PictureBox::isOwnDrag(const QDropEvent *event) const
{
    const auto *source = qobject_cast<const QWidget *>(event->source());
    return m_dragging || (source && (source == this || isAncestorOf(source)));
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // A style sheet rule for the box draws its frame instead of the sunken panel.
    if (testAttribute(Qt::WA_StyleSheetTarget)) {
        QStyleOption option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
        return;
    }
    if (m_framed)
        qDrawWinPanel(&painter, rect(), palette(), true);
}

void PictureBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (isOwnDrag(event))
        event->ignore();
    else
        event->acceptProposedAction();
}

void PictureBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (isOwnDrag(event))
        event->ignore();
    else
        event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent *event)
{
    if (isOwnDrag(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    if (m_dropHandler)
        m_dropHandler(event->mimeData());
}

} // namespace tk
