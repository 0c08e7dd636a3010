#include "core/picturereader.h"

#include "core/completeness.h"
#include "core/error.h"
#include "core/exif.h"
#include "core/iconimage.h"
#include "core/jpegdecoder.h"
#include "core/memorybudget.h"
#include "core/picturedecoder.h"
#include "core/pixelbytes.h"
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
        *reason = opened.error ? reasonOf(opened.error) : QStringLiteral("无法打开文件");
        break;
    case FileFault::Folder:
        *reason = QStringLiteral("这是一个文件夹");
        break;
    case FileFault::NotRegular:
        *reason = QStringLiteral("不是普通文件（管道、设备等），不能读取");
        break;
    }
    return std::move(opened.file);
}

QString qtReason(QImageReader::ImageReaderError error)
{
    switch (error) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("不是支持的图片格式");
    case QImageReader::DeviceError:
        return QStringLiteral("读取文件出错");
    default:
        return QStringLiteral("图片数据损坏或不完整");
    }
}

QString tooLarge(QSize size, qint64 bytes)
{
    return QStringLiteral("图片太大（%1×%2），解码").arg(size.width()).arg(size.height()) +
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
    throw Error(QStringLiteral("无法读取图片“%1”：%2").arg(m_shownName, reason));
}

void PictureReader::readHeader()
{
    if (m_device->size() == 0)
        fail(QStringLiteral("文件是空的"));
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
        return;
    }
    try {
        m_decoder = openPictureDecoder(*m_device, magic);
    } catch (const Error &e) {
        fail(e.message());
    }
    if (m_decoder) {
        m_storedSize = m_decoder->size();
        m_quarterTurn = m_decoder->transformation() & QImageIOHandler::TransformationRotate90;
        m_turned = m_decoder->transformation() != QImageIOHandler::TransformationNone;
        return;
    }
    if ((magic.startsWith("GIF8") && !gifIsComplete(*m_device)) ||
        (magic.startsWith("BM") && !bmpIsComplete(*m_device)))
        fail(QStringLiteral("文件不完整"));
    m_device->seek(0);
    m_qt = std::make_unique<QImageReader>(m_device.get());
    m_qt->setDecideFormatFromContent(true);
    m_qt->setAutoTransform(true);
    // Asked once: the reader asks the handler again each time, from wherever the
    // device then is.
    const QByteArray format = m_qt->format();
    if (format.isEmpty())
        fail(qtReason(m_qt->error()));
    m_storedSize = m_qt->size();
    m_quarterTurn = m_qt->transformation() & QImageIOHandler::TransformationRotate90;
    m_turned = m_qt->transformation() != QImageIOHandler::TransformationNone;
    m_qtFormat = m_qt->imageFormat();
    if (format == "gif")
        readGifHeader(magic);
    else if (format == "ico")
        readIconHeader();
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

QImage::Format PictureReader::format() const
{
    if (m_decoder)
        return m_decoder->format();
    return m_jpeg ? QImage::Format_RGB32 : m_qtFormat;
}

ColourDescription PictureReader::colour() const
{
    return m_decoder ? m_decoder->colour() : ColourDescription();
}

bool PictureReader::isCmyk() const
{
    return m_decoder && m_decoder->isCmyk();
}

void PictureReader::keepInks(bool kept)
{
    if (m_decoder)
        m_decoder->keepInks(kept);
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
               (resampled ? pixelArea(step) * resamplingBits(format()) / 8 : 0);
    const int bits = bitsOf(m_qtFormat) + (resampled ? resamplingBits(m_qtFormat) : 0);
    return pixelArea(step) * bits / 8 + m_qtHeldBytes;
}

qint64 PictureReader::peakBytes(QSize decodeSize) const
{
    const QSize stored = storedDecodeSize(decodeSize);
    const QSize step = stepFor(stored);
    qint64 bytes = decodeBytes(step, step != stored);
    // What resampling and turning make: 64 bits a pixel from deep pictures of ours.
    const qint64 made = m_decoder ? resultBytes(format()) : 4;
    if (step != stored)
        bytes += pixelArea(stored) * made;
    if (m_turned)
        bytes += pixelArea(stored) * made;
    return bytes;
}

QImage PictureReader::read(QSize decodeSize)
{
    const QSize stored = storedDecodeSize(decodeSize);
    const qint64 bytes = peakBytes(decodeSize);
    if (bytes > PictureMemoryBudget)
        fail(tooLarge(size(), bytes));
    if (m_decoder) {
        QImage image;
        try {
            image = m_decoder->decode(stepFor(stored));
        } catch (const Error &e) {
            fail(e.message());
        }
        if (image.size() != stored)
            image = image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return applyTransformation(image, m_decoder->transformation());
    }
    if (!m_jpeg) {
        if (!m_qt)
            fail(qtReason(QImageReader::DeviceError)); // read once only
        Q_ASSERT_X(QImageReader::allocationLimit() >= AllocationLimitMegabytes,
                   "PictureReader::read", "setUpPictureReading() was not called");
        if (stored != m_storedSize)
            m_qt->setScaledSize(stored);
        QImage image = m_qt->read();
        const QImageReader::ImageReaderError error = m_qt->error();
        // Whatever the reader keeps (a GIF's canvas copy) is not to outlive the decode.
        m_qt.reset();
        if (image.isNull())
            fail(qtReason(error));
        return image;
    }
    QImage image;
    try {
        image = m_jpeg->decode(eighthsFor(stepFor(stored)));
    } catch (const Error &e) {
        fail(e.message());
    }
    if (image.size() != stored)
        image = image.scaled(stored, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return applyTransformation(image, m_jpeg->transformation());
}

void setUpPictureReading()
{
    QImageReader::setAllocationLimit(AllocationLimitMegabytes);
}

} // namespace tk
