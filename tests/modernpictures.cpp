#include "modernpictures.h"

#include <QBuffer>
#include <QtEndian>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/encode.h>

namespace modern {

namespace {

heif_error appendTo(heif_context *, const void *data, size_t size, void *bytes)
{
    static_cast<QByteArray *>(bytes)->append(static_cast<const char *>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, ""};
}

void putLE(QByteArray &bytes, quint64 value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes.append(char(value >> (8 * i)));
}

QByteArray chunk(const char *fourcc, const QByteArray &payload)
{
    QByteArray bytes(fourcc, 4);
    putLE(bytes, quint32(payload.size()), 4);
    bytes += payload;
    if (payload.size() % 2)
        bytes.append('\0');
    return bytes;
}

QByteArray riff(const QByteArray &chunks)
{
    QByteArray bytes("RIFF");
    putLE(bytes, quint32(chunks.size() + 4), 4);
    return bytes + "WEBP" + chunks;
}

tmsize_t bufferRead(thandle_t h, void *data, tmsize_t size)
{
    return static_cast<QBuffer *>(h)->read(static_cast<char *>(data), size);
}
tmsize_t bufferWrite(thandle_t h, void *data, tmsize_t size)
{
    return static_cast<QBuffer *>(h)->write(static_cast<const char *>(data), size);
}
toff_t bufferSeek(thandle_t h, toff_t offset, int whence)
{
    auto *buffer = static_cast<QBuffer *>(h);
    const qint64 base = whence == SEEK_CUR   ? buffer->pos()
                        : whence == SEEK_END ? buffer->size()
                                             : 0;
    // Seeking past the end of what is written fills the gap, as a file would.
    const qint64 target = base + qint64(offset);
    if (target > buffer->size())
        buffer->buffer().resize(target);
    return buffer->seek(target) ? toff_t(target) : toff_t(-1);
}
int bufferClose(thandle_t)
{
    return 0;
}
toff_t bufferSize(thandle_t h)
{
    return toff_t(static_cast<QBuffer *>(h)->size());
}
int noMap(thandle_t, void **, toff_t *)
{
    return 0;
}
void noUnmap(thandle_t, void *, toff_t) {}

// One row of `image` in the samples `spec` asks for.
QByteArray tiffRow(const QImage &image, int y, const TiffSpec &spec)
{
    QByteArray row;
    for (int x = 0; x < image.width(); ++x) {
        const QRgba64 p = image.pixelColor(x, y).rgba64();
        QList<quint16> samples;
        switch (spec.colour) {
        case TiffSpec::Colour::Grey:
            samples = {quint16(qGray(p.red8(), p.green8(), p.blue8()) * 257)};
            break;
        case TiffSpec::Colour::Rgb:
            samples = {p.red(), p.green(), p.blue()};
            break;
        case TiffSpec::Colour::Rgba:
            samples = {p.red(), p.green(), p.blue(), p.alpha()};
            break;
        case TiffSpec::Colour::Cmyk: {
            const int r = p.red8(), g = p.green8(), b = p.blue8();
            const int k = 255 - qMax(r, qMax(g, b));
            const auto ink = [k](int c) { return k == 255 ? 0 : 255 - c * 255 / (255 - k); };
            samples = {quint16(ink(r) * 257), quint16(ink(g) * 257), quint16(ink(b) * 257),
                       quint16(k * 257)};
            break;
        }
        }
        for (const quint16 s : samples) {
            if (spec.bits == 16)
                row.append(reinterpret_cast<const char *>(&s), 2); // libtiff writes native order
            else
                row.append(char(s >> 8));
        }
    }
    return row;
}

} // namespace

QByteArray heifBytes(const QImage &image, bool av1)
{
    const bool alpha = image.hasAlphaChannel();
    const QImage rgb =
        image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    heif_context_get_encoder_for_format(context, av1 ? heif_compression_AV1 : heif_compression_HEVC,
                                        &encoder);
    heif_encoder_set_lossy_quality(encoder, 92);
    if (av1)
        heif_encoder_set_parameter_integer(encoder, "speed", 8);
    heif_image *picture = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB,
                      alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &picture);
    heif_image_add_plane(picture, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(picture, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width() * (alpha ? 4 : 3)));
    heif_context_encode_image(context, picture, encoder, nullptr, nullptr);
    QByteArray bytes;
    heif_writer writer{1, appendTo};
    heif_context_write(context, &writer, &bytes);
    heif_image_release(picture);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return bytes;
}

QByteArray heifClaiming(QByteArray heif, quint32 width, quint32 height)
{
    for (qsizetype at = heif.indexOf("ispe"); at >= 0; at = heif.indexOf("ispe", at + 4)) {
        qToBigEndian(width, heif.data() + at + 8);
        qToBigEndian(height, heif.data() + at + 12);
    }
    return heif;
}

QByteArray webpBytes(const QImage &image, bool lossless)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    uint8_t *output = nullptr;
    const auto *pixels = argb.constBits();
    const int stride = int(argb.bytesPerLine());
    const size_t size =
        lossless ? WebPEncodeLosslessBGRA(pixels, argb.width(), argb.height(), stride, &output)
                 : WebPEncodeBGRA(pixels, argb.width(), argb.height(), stride, 92, &output);
    const QByteArray bytes(reinterpret_cast<const char *>(output), qsizetype(size));
    WebPFree(output);
    return bytes;
}

QByteArray webpAnimation(const QList<QImage> &frames, QSize canvas)
{
    if (!canvas.isValid())
        canvas = frames.first().size();
    QByteArray header(1, char(0x02 | 0x10)); // animation, alpha
    header.append(3, '\0');
    putLE(header, quint32(canvas.width() - 1), 3);
    putLE(header, quint32(canvas.height() - 1), 3);
    QByteArray animation;
    putLE(animation, 0, 4); // background
    putLE(animation, 0, 2); // loop for ever
    QByteArray chunks = chunk("VP8X", header) + chunk("ANIM", animation);
    for (const QImage &frame : frames) {
        QByteArray placed;
        putLE(placed, 0, 6); // at the top left
        putLE(placed, quint32(frame.width() - 1), 3);
        putLE(placed, quint32(frame.height() - 1), 3);
        putLE(placed, 100, 3);
        placed.append(char(0x02));                // no blending
        placed += webpBytes(frame, true).mid(12); // the frame's own chunk
        chunks += chunk("ANMF", placed);
    }
    return riff(chunks);
}

QByteArray tiffBytes(const QImage &image, const TiffSpec &spec)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    TIFF *tiff = TIFFClientOpen("test", "w", &buffer, bufferRead, bufferWrite, bufferSeek,
                                bufferClose, bufferSize, noMap, noUnmap);
    const int samples = spec.colour == TiffSpec::Colour::Grey  ? 1
                        : spec.colour == TiffSpec::Colour::Rgb ? 3
                                                               : 4;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, quint32(image.width()));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, quint32(image.height()));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, quint16(spec.bits));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, quint16(samples));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, quint16(spec.orientation));
    const quint16 photometric = spec.colour == TiffSpec::Colour::Grey   ? PHOTOMETRIC_MINISBLACK
                                : spec.colour == TiffSpec::Colour::Cmyk ? PHOTOMETRIC_SEPARATED
                                                                        : PHOTOMETRIC_RGB;
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    if (spec.colour == TiffSpec::Colour::Rgba) {
        const quint16 extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (!spec.iccProfile.isEmpty())
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, quint32(spec.iccProfile.size()),
                     spec.iccProfile.constData());
    QList<QByteArray> rows;
    for (int y = 0; y < image.height(); ++y)
        rows << tiffRow(image, y, spec);
    if (!spec.tiled) {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, quint32(16));
        for (int y = 0; y < image.height(); ++y)
            TIFFWriteScanline(tiff, rows[y].data(), quint32(y), 0);
    } else {
        constexpr int Side = 64;
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, quint32(Side));
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, quint32(Side));
        const qsizetype pixel = samples * spec.bits / 8;
        QByteArray tile(Side * Side * pixel, '\0');
        for (int top = 0; top < image.height(); top += Side)
            for (int left = 0; left < image.width(); left += Side) {
                tile.fill('\0');
                for (int r = 0; r < Side && top + r < image.height(); ++r) {
                    const qsizetype n = qMin(Side, image.width() - left) * pixel;
                    memcpy(tile.data() + r * Side * pixel, rows[top + r].constData() + left * pixel,
                           size_t(n));
                }
                TIFFWriteTile(tiff, tile.data(), quint32(left), quint32(top), 0, 0);
            }
    }
    TIFFClose(tiff);
    return buffer.data();
}

QByteArray tiffBomb(quint32 width, quint32 height)
{
    struct Entry {
        quint16 tag, type;
        quint32 value;
    };
    constexpr quint16 Short = 3, Long = 4;
    const Entry entries[] = {{256, Long, width}, {257, Long, height}, {258, Short, 8},
                             {259, Short, 1},    {262, Short, 1},     {273, Long, 8},
                             {277, Short, 1},    {278, Long, height}, {279, Long, 16}};
    QByteArray bytes("II*\0", 4);
    putLE(bytes, 8 + 16, 4); // the directory after the pixels
    bytes.append(16, '\x7f');
    putLE(bytes, std::size(entries), 2);
    for (const Entry &e : entries) {
        putLE(bytes, e.tag, 2);
        putLE(bytes, e.type, 2);
        putLE(bytes, 1, 4);
        putLE(bytes, e.value, 4);
    }
    putLE(bytes, 0, 4);
    return bytes;
}

} // namespace modern
