#include "core/webpdecoder.h"

#include "core/error.h"
#include "core/picturedecoder.h"
#include "core/language.h"
#include "core/memorybudget.h"

#include <QIODevice>
#include <webp/decode.h>
#include <webp/demux.h>

namespace tk {

namespace {

// Enough of a file for its header, the canvas and usually its colour profile.
constexpr qint64 HeaderBytes = 64 * 1024;
// The decoder's rows and the scaler's, per column; and its tables.
constexpr qint64 RowBytesPerColumn = 64;
constexpr qint64 FixedWorkBytes = qint64(2) << 20;

#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
constexpr WEBP_CSP_MODE OpaqueMode = MODE_BGRA, AlphaMode = MODE_bgrA;
#else
constexpr WEBP_CSP_MODE OpaqueMode = MODE_ARGB, AlphaMode = MODE_Argb;
#endif

QString reasonOf(VP8StatusCode status)
{
    switch (status) {
    case VP8_STATUS_NOT_ENOUGH_DATA:
        return truncatedReason();
    case VP8_STATUS_OUT_OF_MEMORY:
        return outOfMemoryReason();
    case VP8_STATUS_UNSUPPORTED_FEATURE:
        return Texts::tr("不支持的 WebP 图片");
    default:
        return corruptReason();
    }
}

quint32 littleEndian32(const QByteArray &bytes, int at)
{
    const auto *b = reinterpret_cast<const uchar *>(bytes.constData()) + at;
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

// A demuxer over bytes that must outlive it.
struct Demuxer {
    WebPDemuxer *demux;
    WebPDemuxState state = WEBP_DEMUX_PARSE_ERROR;

    Demuxer(const QByteArray &bytes, bool partial)
    {
        const WebPData data{reinterpret_cast<const uint8_t *>(bytes.constData()),
                            size_t(bytes.size())};
        demux = partial ? WebPDemuxPartial(&data, &state) : WebPDemux(&data);
    }
    ~Demuxer() { WebPDemuxDelete(demux); }

    QByteArray iccProfile() const
    {
        QByteArray profile;
        WebPChunkIterator chunk;
        if (demux && WebPDemuxGetChunk(demux, "ICCP", 1, &chunk))
            profile = QByteArray(reinterpret_cast<const char *>(chunk.chunk.bytes),
                                 qsizetype(chunk.chunk.size));
        if (demux)
            WebPDemuxReleaseChunkIterator(&chunk);
        return profile;
    }
};

struct Frame {
    WebPIterator iter;
    bool found;
    explicit Frame(WebPDemuxer *demux) : found(WebPDemuxGetFrame(demux, 1, &iter)) {}
    ~Frame() { WebPDemuxReleaseIterator(&iter); }
};

} // namespace

struct WebpDecoder::State {
    QIODevice *device;
    QSize canvas;
    bool alpha = false;
    bool lossless = true; // until the header says otherwise
    bool animated = false;
    ColourDescription colour;
};

WebpDecoder::WebpDecoder(QIODevice &device) : m(std::make_unique<State>())
{
    m->device = &device;
    device.seek(0);
    const QByteArray head = device.peek(HeaderBytes);
    if (head.size() < 12)
        throw Error(truncatedReason());
    // The container says how long it is: a file that ends sooner was cut.
    if (qint64(littleEndian32(head, 4)) + 8 > device.size())
        throw Error(truncatedReason());
    const Demuxer demuxer(head, true);
    if (!demuxer.demux || demuxer.state < WEBP_DEMUX_PARSED_HEADER)
        throw Error(demuxer.state == WEBP_DEMUX_PARSE_ERROR ? corruptReason() : truncatedReason());
    m->canvas =
        QSize(int(qMin<quint32>(WebPDemuxGetI(demuxer.demux, WEBP_FF_CANVAS_WIDTH), INT_MAX)),
              int(qMin<quint32>(WebPDemuxGetI(demuxer.demux, WEBP_FF_CANVAS_HEIGHT), INT_MAX)));
    if (m->canvas.isEmpty())
        throw Error(corruptReason());
    const quint32 flags = WebPDemuxGetI(demuxer.demux, WEBP_FF_FORMAT_FLAGS);
    WebPBitstreamFeatures features;
    if (WebPGetFeatures(reinterpret_cast<const uint8_t *>(head.constData()), size_t(head.size()),
                        &features) == VP8_STATUS_OK) {
        m->alpha = features.has_alpha;
        m->lossless = features.format != 1;
    }
    m->animated = flags & ANIMATION_FLAG;
    m->alpha = m->alpha || (flags & ALPHA_FLAG) || m->animated;
    m->colour.iccProfile = demuxer.iccProfile();
}

WebpDecoder::~WebpDecoder() = default;

QSize WebpDecoder::size() const
{
    return m->canvas;
}

QImage::Format WebpDecoder::format() const
{
    return m->alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
}

ColourDescription WebpDecoder::colour() const
{
    return m->colour;
}

QList<QSize> WebpDecoder::decodeSizes() const
{
    QList<QSize> sizes;
    for (int eighths = 1; eighths <= 8; ++eighths) {
        const QSize step(int((qint64(m->canvas.width()) * eighths + 7) / 8),
                         int((qint64(m->canvas.height()) * eighths + 7) / 8));
        if (sizes.isEmpty() || sizes.last() != step)
            sizes << step;
    }
    return sizes;
}

QSize WebpDecoder::stepFor(QSize wanted) const
{
    if (wanted.isEmpty() || wanted.width() > m->canvas.width() ||
        wanted.height() > m->canvas.height())
        return m->canvas;
    return wanted;
}

// The whole file, the result, and what the library keeps: a few rows, and for lossless
// data its own full-size copy of the pixels. An
// animation's first frame may leave part of the canvas bare: then the whole canvas is
// decoded and scaled.
qint64 WebpDecoder::peakBytes(QSize step) const
{
    const qint64 area = pixelArea(m->canvas);
    qint64 internal = m->lossless ? area * 4 : 0;
    // A lossy picture's alpha is lossless data too, decoded through 32 bits a pixel into
    // a plane of its own.
    if (m->alpha && !m->lossless)
        internal += area * 5;
    if (m->animated)
        internal += area * 4;
    return m->device->size() + pixelArea(step) * 4 + internal +
           qint64(m->canvas.width()) * RowBytesPerColumn + FixedWorkBytes;
}

QImage WebpDecoder::decode(QSize step)
{
    m->device->seek(0);
    const QByteArray bytes = m->device->readAll();
    const Demuxer demuxer(bytes, false);
    if (!demuxer.demux)
        throw Error(corruptReason());
    if (m->colour.iccProfile.isEmpty())
        m->colour.iccProfile = demuxer.iccProfile();
    const Frame frame(demuxer.demux);
    if (!frame.found)
        throw Error(corruptReason());
    if (!frame.iter.complete)
        throw Error(truncatedReason());
    const QRect placed(frame.iter.x_offset, frame.iter.y_offset, frame.iter.width,
                       frame.iter.height);
    if (!QRect(QPoint(), m->canvas).contains(placed))
        throw Error(corruptReason());
    // Only a frame that fills the canvas is scaled while it decodes.
    const bool fills = placed.size() == m->canvas;
    const QSize out = fills ? step : m->canvas;
    QImage image(out, format());
    if (image.isNull())
        throw Error(outOfMemoryReason());
    if (!fills)
        image.fill(Qt::transparent);

    WebPDecoderConfig config;
    WebPInitDecoderConfig(&config);
    config.output.colorspace = m->alpha ? AlphaMode : OpaqueMode;
    config.output.is_external_memory = 1;
    const int x = fills ? 0 : placed.x(), y = fills ? 0 : placed.y();
    config.output.u.RGBA.rgba = image.bits() + qsizetype(y) * image.bytesPerLine() + x * 4;
    config.output.u.RGBA.stride = int(image.bytesPerLine());
    config.output.u.RGBA.size =
        size_t(image.sizeInBytes()) - size_t(qsizetype(y) * image.bytesPerLine() + x * 4);
    if (fills && out != m->canvas) {
        config.options.use_scaling = 1;
        config.options.scaled_width = out.width();
        config.options.scaled_height = out.height();
    }
    const VP8StatusCode status =
        WebPDecode(frame.iter.fragment.bytes, frame.iter.fragment.size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK)
        throw Error(reasonOf(status));
    return fills ? image : image.scaled(step, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace tk
