#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

namespace tk {

// The persistent image of a picture box: a bitmap of its inner area that survives
// repainting. Coordinates are twips from the inner area's top-left corner; whatever
// is drawn outside the inner area is clipped away.
class Canvas {
public:
    explicit Canvas(QSize innerPixels = QSize(), QColor backColor = Qt::white);

    QSize size() const { return m_image.size(); }
    // Keeps what was drawn at the top-left; new area gets the back colour.
    void resize(QSize innerPixels);
    void setBackColor(QColor colour) { m_backColor = colour; }
    QColor backColor() const { return m_backColor; }

    // Wipes the image to the back colour and puts `background` at the corner, unscaled.
    void reset(const QImage &background = QImage());

    // Draws all of `picture` scaled, independently in x and y, onto the rectangle.
    void paintPicture(const QImage &picture, float x1, float y1, float width1, float height1);
    // Draws the source rectangle (twips on the picture, 15 per source pixel) scaled
    // onto the destination rectangle; fractional edges are honoured.
    void paintPicture(const QImage &picture, float x1, float y1, float width1, float height1,
                      float x2, float y2, float width2, float height2);

    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    QColor m_backColor;
};

} // namespace tk
