#pragma once

#include "core/canvas.h"
#include "core/picture.h"
#include "core/units.h"

#include <QWidget>
#include <functional>

class QMimeData;

namespace tk {

// A picture box: outer rectangle in the container's twips, an optional sunken frame
// (FramePixels), and an inner area that shows the persistent image. Child controls (lines)
// belong in inner(), so they are clipped to the inner area as well.
class PictureBox : public QWidget {
    Q_OBJECT
    // A property, so a style sheet can recolour a box that shows no picture.
    Q_PROPERTY(QColor BackColor READ BackColor WRITE setBackColor)
public:
    explicit PictureBox(QWidget *container, bool framed = true);

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return m_width; }
    float Height() const { return m_height; }
    void setLeft(float twips);
    void setTop(float twips);
    void setWidth(float twips);
    void setHeight(float twips);
    void move(float left, float top, float width, float height);

    // The inner area in the box's own twips; the origin is its top-left corner.
    float ScaleWidth() const;
    float ScaleHeight() const;
    float ScaleTop() const { return 0.0f; }

    // The background picture. Setting it wipes the persistent image and puts the
    // picture at its corner; the empty picture just wipes it.
    const Picture &picture() const { return m_picture; }
    void setPicture(const Picture &picture);
    // A snapshot of the persistent image (the inner area, in pixels).
    Picture Image() const { return Picture(m_canvas.image()); }

    QColor BackColor() const { return m_canvas.backColor(); }
    void setBackColor(QColor colour);
    QWidget *inner() const { return m_inner; }
    // Direct access for the widget-free drawing code; call refresh() afterwards.
    Canvas &canvas() { return m_canvas; }
    void refresh();

    // A sharper rendering of what the persistent image shows, at the screen's device
    // pixels (its device pixel ratio set), drawn in its place from the inner area's
    // corner. Whatever changes the persistent image drops it.
    void setDisplayImage(const QImage &image);
    const QImage &displayImage() const { return m_display; }

    // Accepts every drop, as a box in manual drop mode does, and hands the data over;
    // a drag that started on this box and comes back is refused.
    void setDropHandler(std::function<void(const QMimeData *)> handler);
    // Makes the box an automatic drag source: pressing in it and moving past the
    // platform's drag distance drags what `data` returns (nothing when it returns null).
    void setDragSource(std::function<QMimeData *()> data);
    void startDrag();
    // Tests stand in for the platform's drag: the hook gets the data instead.
    static void setDragHook(std::function<void(const QMimeData &)> hook);

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    bool isOwnDrag(const QDropEvent *event) const;
    int framePixels() const { return m_framed ? FramePixels : 0; }
    void applyGeometry();

    bool m_framed;
    float m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    Canvas m_canvas;
    Picture m_picture;
    QWidget *m_inner;
    QImage m_display;
    bool m_dragging = false;
    std::function<void(const QMimeData *)> m_dropHandler;
    std::function<QMimeData *()> m_dragData;
};

} // namespace tk
