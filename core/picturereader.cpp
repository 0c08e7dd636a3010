#include "core/picturereader.h"

#include "core/completeness.h"
#include "core/error.h"
#include "core/exif.h"
#include "core/iconimage.h"
#include "core/jpegdecoder.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/picturedecoder.h"
#include "core/pngcolour.h"
#include "core/regularfile.h"
#include "core/systemerror.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace tk {

namespace {

// Qt's readers count their limit in whole megabytes.
constexpr int AllocationLimitMegabytes = int(PictureMemoryBudget >> 20);

// A pipe or a device named like a picture never hangs the program: only a regular file
// is handed on.
std::unique_ptr<QIODevice> openForReading(const QByteArray &nativePath, QString *reason)
{
    RegularFile opened = openRegularFile(nativePath);
    switch (opened.fault) {
    case FileFault::None:
        break;
    case FileFault::System:
        *reason = opened.error ? reasonOf(opened.error) : Texts::tr("无法打开文件");
        break;
    case FileFault::Folder:
        *reason = Texts::tr("这是一个文件夹");
        break;
    case FileFault::NotRegular:
        *reason = Texts::tr("不是普通文件（管道、设备等），不能读取");
        break;
    }
    return std::move(opened.file);
}

QString qtReason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::UnsupportedFormatError:
        return Texts::tr("不是支持的图片格式");
    case QImageReader::DeviceError:
        return Texts::tr("读取文件出错");
    default:
        return Texts::tr("图片数据损坏或不完整");
    }
}

QString tooLarge(QSize size, qint64 bytes)
{
    return Texts::tr("图片太大（%1×%2），解码").arg(size.width()).arg(size.height()) +
           beyondBudget(bytes);
}

} // namespace

PictureReader::PictureReader(const QString &path) : PictureReader(QFile::encodeName(path), path) {}

PictureReader::PictureReader(const QByteArray &nativePath, const QString &shownName)
    : m_shownName(shownName)
{
    QString reason;
    m_device = openForReading(nativePath, &reason);
    if (!m_device)
        fail(reason);
    readHeader();
}

PictureReader::PictureReader(const QString &shownName, std::unique_ptr<QIODevice> device)
    : m_shownName(shownName), m_device(std::move(device))
{
    readHeader();
}

std::unique_ptr<PictureReader> PictureReader::fromBytes(const QByteArray &bytes,
                                                        const QString &shownName)
{
    auto buffer = std::make_unique<QBuffer>();
    buffer->setData(bytes);
    buffer->open(QIODevice::ReadOnly);
    return std::unique_ptr<PictureReader>(new PictureReader(shownName, std::move(buffer)));
}

PictureReader::~PictureReader() = default;

void PictureReader::fail(const QString &reason) const
{
    throw Error(Texts::tr("无法读取图片“%1”：%2").arg(m_shownName, reason));
}

void PictureReader::readHeader()
{
    if (m_device->size() == 0)
        fail(Texts::tr("文件是空的"));
    const QByteArray magic = m_device->peek(12);
    // Whatever Qt would take for a JPEG goes through our own decoder.
    if (magic.startsWith("\xFF\xD8")) {
        try {
            m_jpeg = std::make_unique<JpegDecoder>(*m_device);
        } catch (const Error &e) {
            fail(e.message());
        }
        m_storedSize = m_jpeg->size();
        m_quarterTurn = m_jpeg->transformation() & QImageIOHandler::TransformationRotate90;
        m_turned = m_jpeg->transformation() != QImageIOHandler::TransformationNone;
        prepareColour(m_jpeg->colour(), m_jpeg->model());
        return;
    }
    openDecoder(magic);
    if (m_decoder) {
        m_storedSize = m_decoder->size();
        m_quarterTurn = m_decoder->transformation() & QImageIOHandler::TransformationRotate90;
        m_turned = m_decoder->transformation() != QImageIOHandler::TransformationNone;
        const QImage::Format format = m_decoder->format();
        // Eight-bit inks go to the colour conversion, which knows the printing; deep ones
        // come as RGB by the plain ink formula.
        m_inks = m_decoder->isCmyk() && bitsOf(format) <= 32;
        m_decoder->keepInks(m_inks);
        const bool grey =
            format == QImage::Format_Grayscale8 || format == QImage::Format_Grayscale16;
        if (m_inks) {
            // As the JPEG decoder does: inks become sRGB before anything else sees them.
            m_inkConversion = std::make_unique<ColourConversion>(m_decoder->colour(),
                                                                 ColourModel::Cmyk);
            prepareColour(ColourDescription(), ColourModel::Rgb);
        } else {
            prepareColour(m_decoder->colour(), grey ? ColourModel::Grey : ColourModel::Rgb);
        }
        return;
    }
    if ((magic.startsWith("GIF8") && !gifIsComplete(*m_device)) ||
        (magic.startsWith("BM") && !bmpIsComplete(*m_device)))
        fail(Texts::tr("文件不完整"));
    // Qt's reader keeps a profile only where it can use it itself; the chunk is read here.
    const PngColour png =
        magic.startsWith("\x89PNG\r\n\x1A\n") ? pngColour(*m_device) : PngColour();
    prepareColour(png.colour, png.model);
    m_device->seek(0);
    m_qt = std::make_unique<QImageReader>(m_device.get());
    m_qt->setDecideFormatFromContent(true);
    // Turned after resampling, by us, as Qt's reader would turn it itself.
    m_qt->setAutoTransform(false);
    // Asked once: the reader asks the handler again each time, from wherever the
    // device then is.
    const QByteArray format = m_qt->format();
    if (format.isEmpty())
        fail(qtReason(m_qt->error()));
    m_storedSize = m_qt->size();
    m_qtTransformation = m_qt->transformation();
    m_quarterTurn = m_qtTransformation & QImageIOHandler::TransformationRotate90;
    m_turned = m_qtTransformation != QImageIOHandler::TransformationNone;
    m_qtFormat = m_qt->imageFormat();
    m_qtScales = m_qt->supportsOption(QImageIOHandler::ScaledSize);
    if (format == "gif")
        readGifHeader(magic);
    else if (format == "ico")
        readIconHeader();
}

void PictureReader::prepareColour(const ColourDescription &colour, ColourModel model)
{
    m_colour = colour;
    m_conversion = std::make_unique<ColourConversion>(colour, model);
}

void PictureReader::openDecoder(const QByteArray &magic)
{
    try {
        m_decoder = openPictureDecoder(*m_device, magic);
    } catch (const Error &e) {
        fail(e.message());
    }
}

void PictureReader::readGifHeader(const QByteArray &magic)
{
    if (magic.size() >= 10) {
        // The reader paints frames onto a canvas of the logical screen's size, which
        // the header gives apart from the frame's, and keeps a copy of its own.
        const auto *screen = reinterpret_cast<const uchar *>(magic.constData()) + 6;
        m_storedSize =
            m_storedSize.expandedTo(QSize(screen[0] | screen[1] << 8, screen[2] | screen[3] << 8));
    }
    m_qtHeldBytes = pixelArea(m_storedSize) * 4;
}

void PictureReader::readIconHeader()
{
    // Judged by the image the entry holds, not by what the directory says of it.
    if (const std::optional<IconImage> image = iconImage(*m_device)) {
        m_storedSize = image->size;
        m_qtFormat = image->format;
        m_qtHeldBytes = image->heldBytes;
    }
}

QSize PictureReader::size() const
{
    return m_quarterTurn ? m_storedSize.transposed() : m_storedSize;
}

QImage::Format PictureReader::decodedFormat() const
{
    if (m_decoder)
        return m_inks ? QImage::Format_RGB32 : m_decoder->format();
    return m_jpeg ? QImage::Format_RGB32 : m_qtFormat;
}

QImageIOHandler::Transformations PictureReader::transformation() const
{
    if (m_jpeg)
        return m_jpeg->transformation();
    return m_decoder ? m_decoder->transformation() : m_qtTransformation;
}

QImage::Format PictureReader::format() const
{
    return m_conversion->outputFormat(decodedFormat());
}

QSize PictureReader::storedDecodeSize(QSize upright) const
{
    if (!upright.isValid())
        return m_storedSize;
    return m_quarterTurn ? upright.transposed() : upright;
}

QSize PictureReader::stepFor(QSize storedSize) const
{
    if (m_decoder)
        return m_decoder->stepFor(storedSize);
    if (m_jpeg) {
        for (int eighths = 1; eighths < 8; ++eighths) {
            const QSize step = m_jpeg->scaledSize(eighths);
            if (step.width() >= storedSize.width() && step.height() >= storedSize.height())
                return step;
        }
    }
    return m_storedSize;
}

QSize PictureReader::decodeFor(QSize storedSize) const
{
    // A Qt reader that scales as it decodes does so its own way: each size is a decode.
    return m_qtScales ? storedSize : stepFor(storedSize);
}

QList<QSize> PictureReader::decodeSizes() const
{
    QList<QSize> sizes;
    if (m_decoder) {
        for (const QSize &step : m_decoder->decodeSizes())
            sizes << (m_quarterTurn ? step.transposed() : step);
        return sizes;
    }
    for (int eighths = 1; eighths <= 8; ++eighths) {
        const QSize step = m_jpeg && eighths < 8 ? m_jpeg->scaledSize(eighths) : m_storedSize;
        const QSize upright = m_quarterTurn ? step.transposed() : step;
        if (sizes.isEmpty() || sizes.last() != upright)
            sizes << upright;
    }
    return sizes;
}

int PictureReader::eighthsFor(QSize step) const
{
    for (int eighths = 1; eighths < 8; ++eighths)
        if (m_jpeg->scaledSize(eighths) == step)
            return eighths;
    return 8;
}

// Qt's readers decode at full size in the picture's own format and resample from that.
qint64 PictureReader::decodeBytes(QSize step, bool resampled) const
{
    if (m_jpeg)
        return m_jpeg->peakBytes(eighthsFor(step));
    if (m_decoder)
        return m_decoder->peakBytes(step) +
               (resampled ? pixelArea(step) * resamplingBits(decodedFormat()) / 8 : 0);
    const int bits = bitsOf(m_qtFormat) + (resampled ? resamplingBits(m_qtFormat) : 0);
    return pixelArea(step) * bits / 8 + m_qtHeldBytes;
}

// The peak of reading the picture at `stored` alone: the decode, its resampled copy
// and the turned one.
qint64 PictureReader::sizePeak(QSize stored) const
{
    const QSize step = stepFor(stored);
    qint64 bytes = decodeBytes(step, step != stored);
    // What resampling and turning make: 64 bits a pixel from deep pictures of ours.
    const qint64 made = m_decoder ? resultBytes(decodedFormat()) : 4;
    if (step != stored)
        bytes += pixelArea(stored) * made;
    if (m_turned)
        bytes += pixelArea(stored) * made;
    if (m_inkConversion)
        bytes += m_inkConversion->peakBytes(QImage::Format_RGB32, step);
    return bytes + m_conversion->peakBytes(decodedFormat(), stored);
}

qint64 PictureReader::peakBytes(QSize decodeSize) const
{
    return sizePeak(storedDecodeSize(decodeSize));
}

// The places in `decodeSizes` that each decode serves, the decodes in order.
QList<QList<qsizetype>> PictureReader::decodeGroups(const QList<QSize> &decodeSizes) const
{
    QList<QSize> decodes;
    QList<QList<qsizetype>> groups;
    for (qsizetype i = 0; i < decodeSizes.size(); ++i) {
        const QSize decode = decodeFor(storedDecodeSize(decodeSizes[i]));
        const qsizetype group = decodes.indexOf(decode);
        if (group >= 0) {
            groups[group] << i;
        } else {
            decodes << decode;
            groups << QList<qsizetype>{i};
        }
    }
    return groups;
}

qint64 PictureReader::peakBytes(const QList<QSize> &decodeSizes) const
{
    // Decodes run one after another; every result stays while the rest are made.
    qint64 kept = 0, peak = 0;
    for (const QList<qsizetype> &group : decodeGroups(decodeSizes)) {
        for (const qsizetype i : group) {
            const QSize stored = storedDecodeSize(decodeSizes[i]);
            peak = std::max(peak, kept + sizePeak(stored));
            kept += pixelArea(stored) * 4;
        }
    }
    return peak;
}

QImage PictureReader::read(QSize decodeSize)
{
    return read(QList<QSize>{decodeSize}).constFirst();
}

QList<QImage> PictureReader::read(const QList<QSize> &decodeSizes)
{
    const qint64 bytes = peakBytes(decodeSizes);
    if (bytes > PictureMemoryBudget)
        fail(tooLarge(size(), bytes));
    QList<QImage> images(decodeSizes.size());
    for (const QList<qsizetype> &group : decodeGroups(decodeSizes)) {
        const QImage decoded =
            decodeStep(decodeFor(storedDecodeSize(decodeSizes[group.constFirst()])));
        for (const qsizetype i : group)
            images[i] = finish(decoded, storedDecodeSize(decodeSizes[i]));
    }
    return images;
}

QImage PictureReader::readStored(QSize decodeSize, const RowsDone &rowsDone)
{
    const qint64 bytes = peakBytes(decodeSize);
    if (bytes > PictureMemoryBudget)
        fail(tooLarge(size(), bytes));
    const QSize stored = storedDecodeSize(decodeSize);
    const QSize step = decodeFor(stored);
    // Rows are told as they come only where the JPEG decoder makes them final: no
    // resampling and no colours to convert after the decode.
    const bool streamed = m_jpeg && step == stored && !m_conversion->converts();
    QImage decoded = decodeStep(step, streamed ? rowsDone : RowsDone());
    if (decoded.size() != stored)
        decoded = decoded.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return m_conversion->apply(std::move(decoded));
}

// A decoder decodes once; the file is read anew for another decode size.
void PictureReader::reopen()
{
    if (!m_device->seek(0))
        fail(qtReason(QImageReader::DeviceError));
    if (m_jpeg) {
        try {
            m_jpeg = std::make_unique<JpegDecoder>(*m_device);
        } catch (const Error &e) {
            fail(e.message());
        }
        return;
    }
    if (m_decoder) {
        openDecoder(m_device->peek(12));
        m_decoder->keepInks(m_inks);
        return;
    }
    m_qt = std::make_unique<QImageReader>(m_device.get());
    m_qt->setDecideFormatFromContent(true);
    m_qt->setAutoTransform(false);
}

// The picture decoded at `step` (stored orientation), before resampling and turning.
// Qt's reader is handed the size it is to scale to, where it scales itself.
QImage PictureReader::decodeStep(QSize step, const RowsDone &rowsDone)
{
    if (m_decoded)
        reopen();
    m_decoded = true;
    if (m_jpeg) {
        try {
            return m_jpeg->decode(eighthsFor(step), rowsDone);
        } catch (const Error &e) {
            fail(e.message());
        }
    }
    if (m_decoder) {
        QImage image;
        try {
            image = m_decoder->decode(step);
        } catch (const Error &e) {
            fail(e.message());
        }
        // Inks come one byte each, C, M, Y, K, as the conversion takes them.
        if (m_inks) {
            image.reinterpretAsFormat(QImage::Format_RGB32);
            image = m_inkConversion->apply(std::move(image));
        }
        return image;
    }
    Q_ASSERT_X(QImageReader::allocationLimit() >= AllocationLimitMegabytes,
               "PictureReader::read", "setUpPictureReading() was not called");
    if (step != m_storedSize)
        m_qt->setScaledSize(step);
    QImage image = m_qt->read();
    const QImageReader::ImageReaderError error = m_qt->error();
    // Whatever the reader keeps (a GIF's canvas copy) is not to outlive the decode.
    m_qt.reset();
    if (image.isNull())
        fail(qtReason(error));
    return image;
}

QImage PictureReader::finish(const QImage &decoded, QSize stored) const
{
    QImage image = decoded;
    if (image.size() != stored)
        image = image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return applyTransformation(m_conversion->apply(std::move(image)), transformation());
}

void setUpPictureReading()
{
    QImageReader::setAllocationLimit(AllocationLimitMegabytes);
}

} // namespace tk
