#pragma once

#include "core/picture.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tk {

class PictureReader;

// A photo wall: its grid, the side of its tiles, their file format. The default is the
// window's own wall: 4 × 2 tiles of the window's side, cut from the preview.
struct Wall {
    int columns = 4;
    int rows = 2;
    // Pixels; 0: the window's side, and for 4 × 2 the window's own tiles (from the
    // preview, quirks included).
    int tileSize = 0;
    SaveFormat format;

    int tileCount() const { return columns * rows; }
    // Replayed from the preview as the window cuts it, rather than cut from the picture.
    bool isWindowWall() const { return columns == 4 && rows == 2 && tileSize == 0; }
    int tileSide() const;
};

// The tiles' paths: `folder` (ending with its separator) followed by "1.jpg" … "N.jpg".
QStringList wallTilePaths(const QString &folder, const Wall &wall);

// How a picture is decoded for a wall: at what size, and what the whole cut takes at
// its peak. Throws tk::Error when the cut would not fit the picture budget.
struct WallPlan {
    QSize decodeSize;
    qint64 peakBytes = 0;
    // Tiles made while the picture decodes, held encoded until it is whole.
    bool whileDecoding = false;
};

// What a cut's decode phase hands its write phase: the window's preview, or the picture
// with each tile's rectangle of it in its pixels, or the tiles already made, encoded.
struct DecodedWall {
    QImage picture;
    QList<QRectF> sources;
    QList<QByteArray> tiles;
};

// A cut in its phases, so a batch can hold a picture's share of the budget from the plan
// on: plan (from the header alone), decode (for the window's wall, the preview), write
// (throws tk::Error at the first failure; tiles written before it stay).
WallPlan planWall(const PictureReader &reader, const Wall &wall);
DecodedWall decodeForWall(PictureReader &reader, const Wall &wall, const WallPlan &plan);
void writeWall(const DecodedWall &decoded, const QString &folder, const Wall &wall);

// All of it for the picture at `path`, or the one `reader` has open.
void cutWall(const QString &path, const QString &folder, const Wall &wall);
void cutWall(PictureReader &reader, const QString &folder, const Wall &wall);

// The refusal of a cut that would take `bytes`, beyond the budget.
[[noreturn]] void refuseWall(const PictureReader &reader, const Wall &wall, qint64 bytes);

} // namespace tk
