#include "picture.h"

#include "atomicfile.h"
#include "error.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

namespace tk {

namespace {

QString loadError(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取图片“%1”：%2").arg(path, reason);
}

// Points at the last occurrence of the two-byte marker at or before `end`, or null.
const uchar *lastMarker(const uchar *begin, const uchar *end, uchar code)
{
    for (const uchar *p = end - 1; p > begin; --p) {
        if (*p == code && p[-1] == 0xFF)
            return p - 1;
    }
    return nullptr;
}

// libjpeg fills a cut-off scan with grey and reports success, so a JPEG whose last
// scan has no end-of-image marker after it is refused here. Marker bytes cannot occur
// inside entropy-coded data, so the last SOS and the last EOI tell the story.
bool jpegIsTruncated(QFile &file)
{
    const qint64 size = file.size();
    if (size < 4)
        return true;
    const uchar *data = file.map(0, size);
    if (!data)
        return false; // cannot tell; let the decoder decide
    const uchar *end = data + size;
    const uchar *eoi = lastMarker(data, end, 0xD9);
    const uchar *sos = lastMarker(data, end, 0xDA);
    const bool truncated = !eoi || (sos && sos > eoi);
    file.unmap(const_cast<uchar *>(data));
    return truncated;
}

// A PNG without its IEND chunk is cut off; Qt would hand back a partial image.
bool pngIsTruncated(QFile &file)
{
    const qint64 size = file.size();
    const qint64 tail = qMin<qint64>(size, 4096);
    const uchar *data = file.map(size - tail, tail);
    if (!data)
        return false;
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), tail);
    const bool truncated = !bytes.contains("IEND");
    file.unmap(const_cast<uchar *>(data));
    return truncated;
}

} // namespace

QImage LoadPicture(const QString &path, QSize decodeSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(loadError(path, file.errorString()));

    QImageReader reader(&file);
    reader.setAutoTransform(true);
    const QByteArray format = reader.format();
    if (format.isEmpty())
        throw Error(loadError(path, reader.errorString()));
    if ((format == "jpeg" && jpegIsTruncated(file)) || (format == "png" && pngIsTruncated(file)))
        throw Error(loadError(path, QStringLiteral("文件不完整")));

    if (decodeSize.isValid()) {
        // Scaling happens before the EXIF turn, so a quarter turn needs the swapped size.
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            decodeSize.transpose();
        reader.setScaledSize(decodeSize);
    }
    QImage image = reader.read();
    if (image.isNull())
        throw Error(loadError(path, reader.errorString()));
    return image;
}

void SavePicture(const QImage &image, const QString &path)
{
    writeFileAtomically(path, [&image](QIODevice &device) {
        QImageWriter writer(&device, "jpeg");
        writer.setQuality(95);
        if (!writer.write(image))
            return writer.errorString();
        return QString();
    });
}

} // namespace tk
