#pragma once

#include <QString>
#include <array>

namespace tk {

constexpr int TileCount = 8;

// A tile's source rectangle in twips on the preview's inner area.
struct TileRect {
    float x, y, width, height;
};

// The eight source rectangles, row by row, for a preview whose inner area is
// `scaleWidth` × `scaleHeight` twips: a 4 × 2 grid with a 4-twip gutter on each inner
// grid line. Tiles 6 and 7 are 2 twips shorter than the others; that is how the
// published walls have always been cut, so it stays. Single-precision throughout.
std::array<TileRect, TileCount> tileRects(float scaleWidth, float scaleHeight);

// "1.jpg" … "8.jpg" for k = 1 … 8.
QString tileFileName(int k, const QString &extension = QStringLiteral("jpg"));

// The cut lines over the preview: three verticals at a quarter, a half and three
// quarters of the inner width, one horizontal at half the inner height.
struct GridLines {
    float x1, x2, x3, y;
};
GridLines gridLines(float scaleWidth, float scaleHeight, float scaleTop);

} // namespace tk
