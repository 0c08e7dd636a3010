#pragma once

#include "core/picture.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRectF>
#include <QSize>
#include <QStringList>

namespace tk {

class PictureReader;

// A picture wall's tiles made on two threads: each tile is resampled (tiles/resample.h)
// and encoded as soon as the rows under it are in, while the calling thread may still be
// decoding the rest of the picture; once the picture is whole, both threads finish the
// tiles left.
class WallPipeline {
public:
    // Each tile's rectangle in the upright picture at `pictureSize` (its pixels,
    // fractions allowed), and the size of every tile.
    WallPipeline(QList<QRectF> sources, QSize pictureSize, QSize tile, SaveFormat format);

    // Decodes the picture at the pipeline's size and cuts it as it decodes; the tiles
    // come back encoded, in order. None is handed out before the whole picture has
    // decoded, so a picture that fails leaves no tile. Throws tk::Error.
    QList<QByteArray> encodeWhileDecoding(PictureReader &reader);
    // Cuts an upright picture (32-bit, see PictureRows) that is already whole, writing
    // each tile to its path as soon as it is made. Throws tk::Error at the first failure;
    // tiles written before it stay.
    void write(const QImage &picture, const QStringList &paths);

    // Peak bytes of the work beside the picture: the tiles being made with `copies`
    // copies each on the way out (turned upright, flattened), and with `held` the encoded
    // tiles kept until the decode is done.
    static qint64 workBytes(int tiles, QSize tile, int copies, bool held);

private:
    struct Run;

    QList<QRectF> m_sources;
    QSize m_pictureSize, m_tile;
    SaveFormat m_format;
};

} // namespace tk
