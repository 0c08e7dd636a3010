#include "picturebox.h"

#include "units.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <qdrawutil.h>

namespace tk {

namespace {

// Shows the persistent image of its box; the box itself draws only the frame.
class InnerArea : public QWidget {
public:
    InnerArea(QWidget *parent, const Canvas &canvas) : QWidget(parent), m_canvas(canvas)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_canvas.image());
    }

private:
    const Canvas &m_canvas;
};

} // namespace

PictureBox::PictureBox(QWidget *container, bool framed)
    : QWidget(container), m_framed(framed), m_canvas(QSize(), palette().color(QPalette::Button)),
      m_inner(new InnerArea(this, m_canvas))
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
    m_picture = picture;
    m_canvas.reset(picture.image());
    refresh();
}

void PictureBox::PaintPicture(const Picture &picture, float x1, float y1, float width1,
                              float height1)
{
    m_canvas.paintPicture(picture.image(), x1, y1, width1, height1);
    refresh();
}

void PictureBox::PaintPicture(const Picture &picture, float x1, float y1, float width1,
                              float height1, float x2, float y2, float width2, float height2)
{
    m_canvas.paintPicture(picture.image(), x1, y1, width1, height1, x2, y2, width2, height2);
    refresh();
}

void PictureBox::setBackColor(QColor colour)
{
    m_canvas.setBackColor(colour);
    m_canvas.reset(m_picture.image());
    refresh();
}

void PictureBox::refresh()
{
    m_inner->update();
}

void PictureBox::setDropHandler(std::function<void(const QMimeData *)> handler)
{
    m_dropHandler = std::move(handler);
    setAcceptDrops(bool(m_dropHandler));
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
    event->acceptProposedAction();
}

void PictureBox::dragMoveEvent(QDragMoveEvent *event)
{
    event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    if (m_dropHandler)
        m_dropHandler(event->mimeData());
}

} // namespace tk
