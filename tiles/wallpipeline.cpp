#include "tiles/wallpipeline.h"

#include "core/error.h"
#include "core/language.h"
#include "core/exif.h"
#include "core/largeimage.h"
#include "core/memorybudget.h"
#include "core/picturereader.h"
#include "tiles/resample.h"
#include "tiles/windowgeometry.h"

#include <QBuffer>
#include <QPainter>
#include <QThread>
#include <QTransform>
#include <algorithm>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace tk {

namespace {

using Turn = QImageIOHandler::Transformations;

// What an encoded tile may take beyond its pixels: the writer's headers and tables.
constexpr qint64 EncodingSlack = 64 * 1024;
// The threads that make tiles: the caller and one helper.
constexpr int Threads = 2;

// The rectangle of the picture as stored (of `stored` size) that `turn` makes `upright`.
// Turned the same way, the tile resampled from it is the tile of the upright picture.
QRectF storedRect(const QRectF &upright, QSize stored, Turn turn)
{
    const double w = stored.width(), h = stored.height();
    QTransform toUpright;
    if (turn & QImageIOHandler::TransformationMirror)
        toUpright *= QTransform(-1, 0, 0, 1, w, 0);
    if (turn & QImageIOHandler::TransformationFlip)
        toUpright *= QTransform(1, 0, 0, -1, 0, h);
    if (turn & QImageIOHandler::TransformationRotate90)
        toUpright *= QTransform(0, 1, -1, 0, h, 0);
    return toUpright.inverted().mapRect(upright);
}

bool isThirtyTwoBit(QImage::Format format)
{
    return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32_Premultiplied;
}

QImage thirtyTwoBit(const QImage &picture)
{
    if (isThirtyTwoBit(picture.format()))
        return picture;
    return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32);
}

// A tile as it is saved: upright, and over the window's back colour where see-through.
QImage finishedTile(QImage tile, Turn turn)
{
    tile = applyTransformation(std::move(tile), turn);
    if (!tile.hasAlphaChannel())
        return tile;
    QImage flat(tile.size(), QImage::Format_RGB32);
    flat.fill(previewBackColour());
    QPainter(&flat).drawImage(0, 0, tile);
    return flat;
}

} // namespace

// The work shared by the threads: each tile made row by row as the picture's rows come
// in, by one thread at a time.
struct WallPipeline::Run {
    using Finish = std::function<void(int index, QImage tile)>;

    struct Tile {
        RegionResampler resampler;
        QImage image;
        int next = 0; // the next row to make
        bool busy = false;
    };

    Run(const WallPipeline &pipeline, QSize stored, Turn turn, Finish finish)
        : turn(turn), finish(std::move(finish))
    {
        const bool quarter = turn & QImageIOHandler::TransformationRotate90;
        tileSize = quarter ? pipeline.m_tile.transposed() : pipeline.m_tile;
        tiles.reserve(size_t(pipeline.m_sources.size()));
        for (const QRectF &source : pipeline.m_sources)
            tiles.push_back(Tile{RegionResampler(stored, storedRect(source, stored, turn), tileSize),
                                 QImage(), 0, false});
        left = int(tiles.size());
    }

    // From the decoding thread: rows [0, count) of `image` are final.
    void rowsDone(const QImage &image, int count)
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (picture.isNull())
            picture = image; // keeps the pixels alive whatever becomes of the decoder
        Q_ASSERT(picture.constBits() == image.constBits());
        available = count;
        changed.notify_all();
    }

    void complete(const QImage &image)
    {
        const std::lock_guard<std::mutex> hold(lock);
        Q_ASSERT(available == 0 || picture.constBits() == image.constBits());
        picture = image;
        available = image.height();
        whole = true;
        changed.notify_all();
    }

    void stop(std::exception_ptr cause)
    {
        const std::lock_guard<std::mutex> hold(lock);
        if (!failure)
            failure = cause;
        stopped = true;
        changed.notify_all();
    }

    // Whether `tile` can be taken on now.
    bool ready(const Tile &tile) const
    {
        return !tile.busy && tile.next < tileSize.height() &&
               tile.resampler.rowsNeeded(tile.next) <= available;
    }

    // Takes on tiles, top ones first, until none is left to this thread.
    void work()
    {
        std::unique_lock<std::mutex> hold(lock);
        while (!stopped && left > 0) {
            const auto found =
                std::find_if(tiles.begin(), tiles.end(), [this](const Tile &t) { return ready(t); });
            if (found == tiles.end()) {
                if (whole)
                    return; // the tiles left are in the other thread's hands
                changed.wait(hold);
                continue;
            }
            Tile &tile = *found;
            tile.busy = true;
            const PictureRows rows(picture);
            const int count = available;
            hold.unlock();
            bool done = false;
            try {
                done = advance(tile, int(found - tiles.begin()), rows, count);
            } catch (...) {
                hold.lock();
                failure = failure ? failure : std::current_exception();
                stopped = true;
                changed.notify_all();
                return;
            }
            hold.lock();
            tile.busy = false;
            left -= done;
            changed.notify_all();
        }
    }

    // Makes the rows of `tile` that the picture's first `count` rows allow; true when that
    // finished it.
    bool advance(Tile &tile, int index, const PictureRows &rows, int count)
    {
        if (tile.image.isNull()) {
            tile.image = largeImage(tileSize, rows.premultiplied
                                                  ? QImage::Format_ARGB32_Premultiplied
                                                  : QImage::Format_RGB32);
            if (tile.image.isNull())
                throw Error(Texts::tr("内存不足，无法生成小图"));
        }
        while (tile.next < tileSize.height() && tile.resampler.rowsNeeded(tile.next) <= count) {
            tile.resampler.renderRow(rows, tile.next, tile.image.scanLine(tile.next));
            ++tile.next;
        }
        if (tile.next < tileSize.height())
            return false;
        finish(index, finishedTile(std::exchange(tile.image, QImage()), turn));
        return true;
    }

    // Runs work() on a helper thread beside the caller's; the helper ends with the work.
    void startHelper()
    {
        if (QThread::idealThreadCount() < Threads)
            return;
        prepareEncoding();
        try {
            helper = std::thread([this] { work(); });
        } catch (const std::system_error &) {
            // One thread does it all.
        }
    }

    // Waits for the helper, then hands on the first failure.
    void end()
    {
        if (helper.joinable())
            helper.join();
        if (failure)
            std::rethrow_exception(failure);
    }

    const Turn turn;
    const Finish finish;
    QSize tileSize;
    std::vector<Tile> tiles;
    std::thread helper;

    std::mutex lock;
    std::condition_variable changed;
    QImage picture;
    int available = 0;
    int left = 0;
    bool whole = false;
    bool stopped = false;
    std::exception_ptr failure;
};

WallPipeline::WallPipeline(QList<QRectF> sources, QSize pictureSize, QSize tile, SaveFormat format)
    : m_sources(std::move(sources)), m_pictureSize(pictureSize), m_tile(tile),
      m_format(std::move(format))
{
}

QList<QByteArray> WallPipeline::encodeWhileDecoding(PictureReader &reader)
{
    const Turn turn = reader.transformation();
    const bool quarter = turn & QImageIOHandler::TransformationRotate90;
    QList<QByteArray> encoded(m_sources.size());
    Run run(*this, quarter ? m_pictureSize.transposed() : m_pictureSize, turn,
            [&](int index, QImage tile) {
                QBuffer buffer(&encoded[index]);
                buffer.open(QIODevice::WriteOnly);
                const QString reason = encodePicture(std::move(tile), buffer, m_format);
                if (!reason.isEmpty())
                    throw Error(Texts::tr("第 %1 张小图无法编码：%2").arg(index + 1).arg(reason));
            });
    run.startHelper();
    try {
        const QImage stored = reader.readStored(
            m_pictureSize, [&run](const QImage &image, int rows) { run.rowsDone(image, rows); });
        run.complete(thirtyTwoBit(stored));
        run.work();
    } catch (...) {
        run.stop(std::current_exception());
    }
    run.end();
    return encoded;
}

void WallPipeline::write(const QImage &picture, const QStringList &paths)
{
    Run run(*this, picture.size(), QImageIOHandler::TransformationNone,
            [&](int index, QImage tile) { SavePicture(std::move(tile), paths[index], m_format); });
    run.complete(thirtyTwoBit(picture));
    run.startHelper();
    try {
        run.work();
    } catch (...) {
        run.stop(std::current_exception());
    }
    run.end();
}

qint64 WallPipeline::workBytes(int tiles, QSize tile, int copies, bool held)
{
    const qint64 raw = pixelArea(tile) * 4;
    const qint64 busy = std::min(tiles, Threads);
    // Written straight to its file, a tile is encoded a row at a time.
    if (!held)
        return busy * raw * (1 + copies);
    // Held, every tile may be under way at once, and each stays, encoded, until the
    // decode is done; a tile being encoded is there twice.
    return tiles * (raw + EncodingSlack) + busy * (raw * copies + raw + EncodingSlack);
}

} // namespace tk
