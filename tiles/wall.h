#pragma once

#include "core/error.h"
#include "core/picture.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

namespace tk {

class PictureReader;

// How a wall is laid over the picture: stretched over all of it (the design's way), or
// cropped to a part of the wall's shape, so the tiles are square parts of the picture.
enum class Fit { Stretch, Crop };

// The most columns and rows a wall has, and the largest tile side.
constexpr int MaxWallSide = 10;
constexpr int MaxTileSide = 10000;
// A tile side that takes the framed tiles at the picture's own resolution.
constexpr int NativeTileSize = -1;

// A photo wall: its grid, how it is laid over the picture, the side of its tiles, their
// file format. The default is the window's own wall: 4 × 2 tiles of the window's side,
// stretched, cut from the preview.
struct Wall {
    int columns = 4;
    int rows = 2;
    // Pixels; 0: the window's side, and for the design's wall the window's own tiles
    // (from the preview, quirks included); NativeTileSize: the largest side that does
    // not enlarge the tiles.
    int tileSize = 0;
    Fit fit = Fit::Stretch;
    // The part of the upright picture, in its pixels, cut as if it were the whole
    // picture; null: all of it.
    QRect region;
    // With Fit::Crop, the framed part, in the upright picture's pixels; empty: the
    // largest of the wall's shape, centred.
    QRectF frame;
    SaveFormat format;

    int tileCount() const { return columns * rows; }
    // Replayed from the preview as the window cuts it, rather than cut from the picture.
    bool isWindowWall() const
    {
        return columns == 4 && rows == 2 && tileSize == 0 && fit == Fit::Stretch &&
               region.isNull();
    }
    // The design's choice of grid, fit and size (region and frame aside).
    bool isDesignChoice() const
    {
        return columns == 4 && rows == 2 && tileSize == 0 && fit == Fit::Stretch;
    }
};

// The tiles' paths: `folder` (ending with its separator) followed by "1.jpg" … "N.jpg".
QStringList wallTilePaths(const QString &folder, const Wall &wall);

// How a picture is decoded for a wall: at what size, the tiles' side, how much they are
// enlarged beyond the picture's own pixels, and what the whole cut takes at its peak.
struct WallPlan {
    QSize decodeSize;
    // What each tile shows, as fractions of the picture (for the window's wall, the
    // preview's own table applies instead).
    QList<QRectF> regions;
    int tileSide = 0;
    double enlargement = 1.0;
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
// on: plan (from the header alone; throws tk::Error when the cut would not fit the
// budget or the wall's region lies outside the picture), decode (for the window's wall,
// the preview), write (throws tk::Error at the first failure; tiles written before it
// stay).
WallPlan planWall(const PictureReader &reader, const Wall &wall);
DecodedWall decodeForWall(PictureReader &reader, const Wall &wall, const WallPlan &plan);
void writeWall(const DecodedWall &decoded, const QString &folder, const Wall &wall,
               const WallPlan &plan);

// All of it for the picture at `path`, or the one `reader` has open.
void cutWall(const QString &path, const QString &folder, const Wall &wall);
void cutWall(PictureReader &reader, const QString &folder, const Wall &wall);

// A wall's region that does not lie within its picture: a mistake in what was asked
// rather than in the picture.
class RegionOutside : public Error {
public:
    using Error::Error;
};

// Enlargements beyond this are worth a word before cutting.
constexpr double NotableEnlargement = 1.5;
// "小图将被放大约 N 倍，可能不清晰"
QString enlargementWarning(double enlargement);

// The refusal of a cut of `side`-pixel tiles that would take `bytes`, beyond the budget.
[[noreturn]] void refuseWall(const PictureReader &reader, const Wall &wall, int side, qint64 bytes);

} // namespace tk
