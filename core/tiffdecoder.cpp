#include "core/tiffdecoder.h"

#include "core/error.h"
#include "core/picturedecoder.h"
#include "core/language.h"
#include "core/exif.h"
#include "core/memorybudget.h"
#include "core/rowreducer.h"
#include "core/tiffhandle.h"
#include "core/tifflibrary.h"
#include "core/tiffrows.h"

#include <QIODevice>
#include <tiffio.h>
#include <vector>

namespace tk {

namespace {

// The codec's own state (LZW or Deflate tables, the JPEG codec's) and libtiff's directory.
constexpr qint64 FixedWorkBytes = qint64(2) << 20;
// Past this many strips or tiles, their sizes are not summed up: the file size stands in.
constexpr quint32 StrilesWeighed = 1 << 20;

QString tooLargeReason()
{
    return outOfMemoryReason();
}

} // namespace

struct TiffDecoder::State {
    QIODevice *device = nullptr;
    TiffHandle handle;
    TIFF *file = nullptr; // the handle's
    QSize stored;
    quint16 orientation = ORIENTATION_TOPLEFT;
    bool direct = false; // read by our own rows, not libtiff's RGBA
    bool tiled = false;
    TiffRowFormat rows;
    quint32 rowsPerStrip = 0, tileWidth = 0, tileLength = 0;
    qint64 bufferBytes = 0; // a decoded strip, or a tile and a band of tiles
    qint64 rawBytes = 0;    // the largest strip or tile as stored
    ColourDescription colour;

    quint32 striles() const
    {
        return tiled ? tiff().TIFFNumberOfTiles(file) : tiff().TIFFNumberOfStrips(file);
    }
    void readHeader();
    void weighStriles();
    // Throws when a strip or tile lies past the end of the file.
    void checkStrile(quint32 strile) const
    {
        const quint64 end =
            tiff().TIFFGetStrileOffset(file, strile) + tiff().TIFFGetStrileByteCount(file, strile);
        if (end > quint64(device->size()))
            throw Error(truncatedReason());
    }
    void checkRead(tmsize_t got, qint64 wanted) const
    {
        if (handle.failed() || got < wanted)
            throw Error(corruptReason());
    }
};

void TiffDecoder::State::readHeader()
{
    quint32 width = 0, height = 0;
    if (!tiff().TIFFGetField(file, TIFFTAG_IMAGEWIDTH, &width) ||
        !tiff().TIFFGetField(file, TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 ||
        width > INT_MAX || height > INT_MAX)
        throw Error(corruptReason());
    stored = QSize(int(width), int(height));
    quint16 bits = 1, samples = 1, planar = PLANARCONFIG_CONTIG, format = SAMPLEFORMAT_UINT;
    quint16 compression = COMPRESSION_NONE, inkSet = INKSET_CMYK, photometric = 0;
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_BITSPERSAMPLE, &bits);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_SAMPLESPERPIXEL, &samples);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_PLANARCONFIG, &planar);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_SAMPLEFORMAT, &format);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_COMPRESSION, &compression);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_INKSET, &inkSet);
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_ORIENTATION, &orientation);
    if (!tiff().TIFFGetField(file, TIFFTAG_PHOTOMETRIC, &photometric))
        photometric = samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    quint16 extras = 0;
    quint16 *extraTypes = nullptr;
    tiff().TIFFGetFieldDefaulted(file, TIFFTAG_EXTRASAMPLES, &extras, &extraTypes);
    quint32 iccBytes = 0;
    void *icc = nullptr;
    if (tiff().TIFFGetField(file, TIFFTAG_ICCPROFILE, &iccBytes, &icc) && icc)
        colour.iccProfile = QByteArray(static_cast<const char *>(icc), qsizetype(iccBytes));

    // JPEG-compressed YCbCr comes out of the codec as RGB when asked.
    if (photometric == PHOTOMETRIC_YCBCR && compression == COMPRESSION_JPEG &&
        tiff().TIFFSetField(file, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB))
        photometric = PHOTOMETRIC_RGB;
    int colourSamples = 0;
    switch (photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        rows.colour = TiffRowFormat::Colour::Grey;
        colourSamples = 1;
        break;
    case PHOTOMETRIC_RGB:
        rows.colour = TiffRowFormat::Colour::Rgb;
        colourSamples = 3;
        break;
    case PHOTOMETRIC_SEPARATED:
        rows.colour = TiffRowFormat::Colour::Cmyk;
        colourSamples = inkSet == INKSET_CMYK ? 4 : 0;
        break;
    default:
        break;
    }
    direct = colourSamples > 0 && samples >= colourSamples &&
             (planar == PLANARCONFIG_CONTIG || samples == 1) && (bits == 8 || bits == 16) &&
             format == SAMPLEFORMAT_UINT;
    rows.bits = bits;
    rows.samples = samples;
    rows.whiteIsZero = photometric == PHOTOMETRIC_MINISWHITE;
    rows.alpha =
        rows.colour != TiffRowFormat::Colour::Cmyk && samples > colourSamples && extras > 0 &&
        extraTypes &&
        (extraTypes[0] == EXTRASAMPLE_ASSOCALPHA || extraTypes[0] == EXTRASAMPLE_UNASSALPHA);
    rows.premultiplied = rows.alpha && extraTypes[0] == EXTRASAMPLE_ASSOCALPHA;
    if (!direct) {
        char message[1024] = {};
        if (!tiff().TIFFRGBAImageOK(file, message))
            throw Error(
                Texts::tr("不支持的 TIFF 图片（%1）").arg(QString::fromLocal8Bit(message)));
    }
    tiled = tiff().TIFFIsTiled(file);
    if (tiled) {
        tiff().TIFFGetField(file, TIFFTAG_TILEWIDTH, &tileWidth);
        tiff().TIFFGetField(file, TIFFTAG_TILELENGTH, &tileLength);
        if (tileWidth == 0 || tileLength == 0)
            throw Error(corruptReason());
        const qint64 band =
            qint64(qMin<quint64>(tiff().TIFFScanlineSize64(file), quint64(PictureMemoryBudget))) *
            qMin<quint32>(tileLength, height);
        bufferBytes =
            qint64(qMin<quint64>(tiff().TIFFTileSize64(file), quint64(PictureMemoryBudget))) + band;
    } else {
        tiff().TIFFGetFieldDefaulted(file, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        rowsPerStrip = qBound<quint32>(1, rowsPerStrip, height);
        bufferBytes =
            qint64(qMin<quint64>(tiff().TIFFStripSize64(file), quint64(PictureMemoryBudget)));
    }
    if (handle.failed())
        throw Error(corruptReason());
    weighStriles();
}

// The codec reads a strip or tile whole before it decodes it, however large the file says
// it is, up to the file's end.
void TiffDecoder::State::weighStriles()
{
    const quint32 count = striles();
    rawBytes = device->size();
    if (count > StrilesWeighed)
        return;
    quint64 largest = 0;
    for (quint32 i = 0; i < count; ++i)
        largest = qMax<quint64>(largest, tiff().TIFFGetStrileByteCount(file, i));
    rawBytes = qint64(qMin<quint64>(largest, quint64(device->size())));
}

TiffDecoder::TiffDecoder(QIODevice &device) : m(std::make_unique<State>())
{
    m->device = &device;
    m->file = m->handle.open(device);
    m->readHeader();
}

TiffDecoder::~TiffDecoder() = default;

QSize TiffDecoder::size() const
{
    return m->stored;
}

QImageIOHandler::Transformations TiffDecoder::transformation() const
{
    return fromOrientation(m->orientation);
}

QImage::Format TiffDecoder::format() const
{
    if (!m->direct)
        return QImage::Format_RGBA8888_Premultiplied;
    TiffRowFormat rows = m->rows;
    rows.inksKept = m_inksKept;
    return rows.format();
}

ColourDescription TiffDecoder::colour() const
{
    return m->colour;
}

bool TiffDecoder::isCmyk() const
{
    return m->direct && m->rows.colour == TiffRowFormat::Colour::Cmyk;
}

QList<QSize> TiffDecoder::decodeSizes() const
{
    if (!m->direct)
        return {m->stored};
    return halvedSizes(m->stored);
}

// The result, the stored and the decoded strip (or tile and band), and while reducing a
// converted row and a row of sums.
qint64 TiffDecoder::peakBytes(QSize step) const
{
    const qint64 pixelBytes = QImage::toPixelFormat(format()).bitsPerPixel() / 8;
    const qint64 buffers = m->bufferBytes + m->rawBytes + FixedWorkBytes;
    if (!m->direct)
        return pixelArea(m->stored) * pixelBytes + buffers;
    qint64 reducing = 0;
    if (step != m->stored)
        reducing = qint64(m->stored.width()) * pixelBytes + qint64(step.width()) * 4 * 4;
    return pixelArea(step) * pixelBytes + buffers + reducing;
}

QImage TiffDecoder::decode(QSize step)
{
    for (quint32 i = 0, count = m->striles(); i < count; ++i)
        m->checkStrile(i);
    return m->direct ? decodeRows(step) : decodeWhole();
}

QImage TiffDecoder::decodeRows(QSize step)
{
    const int width = m->stored.width(), height = m->stored.height();
    const int factor = halvingFor(m->stored, step);
    TiffRowFormat rows = m->rows;
    rows.inksKept = m_inksKept;
    QImage image(QSize((width + factor - 1) / factor, (height + factor - 1) / factor),
                 rows.format());
    if (image.isNull())
        throw Error(tooLargeReason());
    const qsizetype inPixel = qsizetype(rows.samples) * rows.bits / 8;
    const qsizetype inRow = qsizetype(width) * inPixel;
    std::vector<uchar> line(factor > 1 ? size_t(width) * size_t(image.depth() / 8) : 0);
    RowReducer reducer(image, width, factor);
    const auto take = [&](const uchar *samples, int y) {
        if (factor == 1) {
            rows.convert(samples, image.scanLine(y), width);
        } else {
            rows.convert(samples, line.data(), width);
            reducer.addRow(line.data());
        }
    };

    if (!m->tiled) {
        std::vector<uchar> strip(static_cast<size_t>(m->bufferBytes));
        const quint32 strips = tiff().TIFFNumberOfStrips(m->file);
        for (quint32 s = 0; s < strips && qint64(s) * m->rowsPerStrip < height; ++s) {
            const int first = int(s * m->rowsPerStrip);
            const int count = qMin(int(m->rowsPerStrip), height - first);
            m->checkRead(
                tiff().TIFFReadEncodedStrip(m->file, s, strip.data(), tmsize_t(strip.size())),
                count * inRow);
            for (int r = 0; r < count; ++r)
                take(strip.data() + r * inRow, first + r);
        }
    } else {
        const qsizetype tileRow = qsizetype(m->tileWidth) * inPixel;
        const qint64 tileBytes = qint64(tiff().TIFFTileSize64(m->file));
        std::vector<uchar> tile(static_cast<size_t>(tileBytes));
        std::vector<uchar> band(static_cast<size_t>(m->bufferBytes - tileBytes));
        for (int top = 0; top < height; top += int(m->tileLength)) {
            const int count = qMin(int(m->tileLength), height - top);
            for (int left = 0; left < width; left += int(m->tileWidth)) {
                const quint32 index =
                    tiff().TIFFComputeTile(m->file, quint32(left), quint32(top), 0, 0);
                m->checkRead(
                    tiff().TIFFReadEncodedTile(m->file, index, tile.data(), tmsize_t(tileBytes)),
                    tileBytes);
                const qsizetype columns = qMin<qsizetype>(m->tileWidth, width - left) * inPixel;
                for (int r = 0; r < count; ++r)
                    std::copy_n(tile.data() + r * tileRow, columns,
                                band.data() + r * inRow + left * inPixel);
            }
            for (int r = 0; r < count; ++r)
                take(band.data() + r * inRow, top + r);
        }
    }
    if (factor > 1)
        reducer.finish();
    return image;
}

QImage TiffDecoder::decodeWhole()
{
    QImage image(m->stored, QImage::Format_RGBA8888_Premultiplied);
    if (image.isNull())
        throw Error(tooLargeReason());
    TIFFRGBAImage rgba;
    char message[1024] = {};
    if (!tiff().TIFFRGBAImageBegin(&rgba, m->file, 1, message))
        throw Error(
            Texts::tr("不支持的 TIFF 图片（%1）").arg(QString::fromLocal8Bit(message)));
    // Rows in the order they are stored; the orientation is turned afterwards, as for
    // every other format.
    rgba.req_orientation = ORIENTATION_TOPLEFT;
    rgba.orientation = ORIENTATION_TOPLEFT;
    const int read =
        tiff().TIFFRGBAImageGet(&rgba, reinterpret_cast<uint32_t *>(image.bits()),
                                quint32(m->stored.width()), quint32(m->stored.height()));
    tiff().TIFFRGBAImageEnd(&rgba);
    if (!read || m->handle.failed())
        throw Error(corruptReason());
    return image;
}

} // namespace tk
