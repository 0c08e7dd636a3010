#pragma once

#include "core/units.h"

#include <QColor>
#include <QSize>

namespace tk {

// The main window's geometry in twips: the one definition the window is laid out from,
// the cut lines follow and the cutter replays, so the window's tiles and the cutter's
// agree because both are read from here.

// The window's client area.
constexpr float FormWidth = 6000.0f;
constexpr float FormHeight = 3720.0f;

// The preview box p1: where it stands, its outer size, and the inner area its frame
// leaves (ScaleWidth × ScaleHeight).
constexpr float PreviewLeft = 0.0f;
constexpr float PreviewTop = 675.0f;
constexpr float PreviewWidth = 6000.0f;
constexpr float PreviewHeight = 3000.0f;
constexpr float PreviewScaleWidth = PreviewWidth - 2 * FrameTwips;
constexpr float PreviewScaleHeight = PreviewHeight - 2 * FrameTwips;

// The tile canvas Picture1 once laid out: its outer side, and the inner side its frame
// leaves, which is the side of the window's tiles.
constexpr float CanvasSide = 2250.0f;
constexpr float CanvasScaleSide = CanvasSide - 2 * FrameTwips;

// Whole pixels of a framed box's inner area, for its outer size in twips.
inline QSize innerPixels(float outerWidth, float outerHeight)
{
    return QSize(twipsToWholePixels(outerWidth) - 2 * FramePixels,
                 twipsToWholePixels(outerHeight) - 2 * FramePixels);
}
inline QSize previewInnerPixels()
{
    return innerPixels(PreviewWidth, PreviewHeight);
}
inline int windowTileSide()
{
    return innerPixels(CanvasSide, CanvasSide).width();
}

// What an empty preview and canvas show, and what shows where a picture is transparent.
inline QColor previewBackColour()
{
    return QColor(0xF0, 0xF0, 0xF0);
}

} // namespace tk
