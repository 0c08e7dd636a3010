#pragma once

#include <QString>

namespace tk {

struct Wall;

// A wall's choices read from text, as both programs' command lines and the remembered
// settings give them. Each takes its text into `wall` and returns an empty string, or
// leaves `wall` as it was and returns why the text is refused (naming the option).

// "3x3" (also "3X3", "3×3"): columns and rows, 1 to MaxWallSide each.
QString readGrid(const QString &text, Wall &wall);
// "stretch" or "crop".
QString readFit(const QString &text, Wall &wall);
// A side of 1 to MaxTileSide pixels; "native": as large as the picture's own pixels;
// "preview": the window's side (and for the design's wall, its tiles from the preview).
QString readTileSize(const QString &text, Wall &wall);
// "X,Y,W,H": a part of the picture in its pixels, W and H at least 1.
QString readCrop(const QString &text, Wall &wall);

// The choices as text that the readers take back.
QString gridText(const Wall &wall);
QString fitText(const Wall &wall);
QString tileSizeText(const Wall &wall);

} // namespace tk
