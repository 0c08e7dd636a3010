#include "tiles/tilegrid.h"

namespace tk {

std::array<TileRect, TileCount> tileRects(float scaleWidth, float scaleHeight)
{
    // Each step is its own float expression so every result is rounded once to single
    // precision, as the published tiles were computed.
    const float c = scaleWidth / 4.0f;
    const float r = scaleHeight / 2.0f;
    const float c2 = c + c;
    const float c3 = c * 3.0f;
    const float left2 = c + 2.0f, left3 = c2 + 2.0f, left4 = c3 + 2.0f;
    const float outerW = c - 2.0f, innerW = c - 4.0f;
    const float top2 = r + 2.0f, fullH = r - 2.0f, shortH = r - 4.0f;
    return {{
        {0.0f, 0.0f, outerW, fullH},
        {left2, 0.0f, innerW, fullH},
        {left3, 0.0f, innerW, fullH},
        {left4, 0.0f, outerW, fullH},
        {0.0f, top2, outerW, fullH},
        {left2, top2, innerW, shortH},
        {left3, top2, innerW, shortH},
        {left4, top2, outerW, fullH},
    }};
}

QString tileFileName(int k, const QString &extension)
{
    return QString::number(k) + QLatin1Char('.') + extension;
}

GridLines gridLines(float scaleWidth, float scaleHeight, float scaleTop)
{
    const float quarter = scaleWidth / 4.0f;
    const float half = scaleWidth / 2.0f;
    const float threeQuarters = quarter * 3.0f;
    const float middle = scaleHeight / 2.0f + scaleTop;
    return {quarter, half, threeQuarters, middle};
}

} // namespace tk
