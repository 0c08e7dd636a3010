#pragma once

#include "tiles/wall.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QWidget>
#include <functional>

namespace tk {

class PictureBox;

// Lies over the preview's inner area for a wall other than the design's. With "crop" it
// shows the frame, the picture outside it dimmed, and takes the pointer, the wheel and
// the preview's keys to move and size the frame; while the effect preview is on it
// draws the cut lines and each tile's number in upload order. Otherwise it lets the
// pointer through to the preview (drops, drags, its tooltip).
class WallOverlay : public QWidget {
    Q_OBJECT
public:
    explicit WallOverlay(PictureBox *preview);

    // The wall over a picture of `picture` pixels that shows at `placement` in the inner
    // area; an empty picture shows nothing.
    void setWall(const Wall &wall, QSize picture, const QRectF &placement);
    const Wall &wall() const { return m_wall; }
    void setLinesShown(bool shown);
    // Hears the frame, in the picture's pixels, whenever the user moves or sizes it.
    void setFrameHandler(std::function<void(const QRectF &)> handler);

    // What the keys and the wheel do, also for tests: move by `delta` preview pixels,
    // zoom by `factor` (below 1 shrinks the frame) about a point of the inner area.
    void moveFrameBy(QPointF delta);
    void zoomFrameBy(double factor, QPointF anchor);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool cropping() const;
    double scale() const;
    QRectF region() const;
    QRectF frame() const;
    void setFrame(const QRectF &frame);
    void paintNumber(QPainter &painter, const QRectF &cell, int number) const;

    Wall m_wall;
    QSize m_picture;
    QRectF m_placement;
    bool m_linesShown = false;
    std::function<void(const QRectF &)> m_frameHandler;
    // While the frame is dragged: where the press was, and the frame then.
    QPointF m_pressedAt;
    QRectF m_frameAtPress;
    bool m_dragging = false;
};

} // namespace tk
