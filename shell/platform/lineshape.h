#pragma once

#include <QColor>
#include <QWidget>

namespace tk {

// A straight line drawn over its container (a picture box's inner area). End points
// are twips in the container; the line never takes mouse input or drops, so the
// container's tooltip and drop handling work through it.
class LineShape : public QWidget {
    Q_OBJECT
public:
    explicit LineShape(QWidget *container);

    float X1() const { return m_x1; }
    float Y1() const { return m_y1; }
    float X2() const { return m_x2; }
    float Y2() const { return m_y2; }
    void setX1(float twips);
    void setY1(float twips);
    void setX2(float twips);
    void setY2(float twips);

    void setBorderColor(QColor colour);
    QColor borderColor() const { return m_colour; }
    // Pen width in pixels.
    void setBorderWidth(int pixels);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setEnd(float &end, float twips);
    void applyGeometry();

    float m_x1 = 0, m_y1 = 0, m_x2 = 0, m_y2 = 0;
    QColor m_colour = Qt::black;
    int m_width = 1;
};

} // namespace tk
