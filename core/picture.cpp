#include "picture.h"

#include "atomicfile.h"
#include "error.h"

#include <QBuffer>
#include <QFile>
#include <QImageIOPlugin>
#include <QImageReader>
#include <QImageWriter>
#include <QPluginLoader>
#include <memory>

namespace tk {

namespace {

QString loadError(const QString &path, const QString &reason)
{
    return QStringLiteral("无法读取图片“%1”：%2").arg(path, reason);
}

// libjpeg fills a cut-off scan with grey and reports success, so a JPEG is refused
// when, reading back from its end, a start-of-scan marker comes before any
// end-of-image marker. Marker bytes cannot occur inside entropy-coded data, so a
// complete file meets its end-of-image within the last few bytes.
bool jpegIsTruncated(QFile &file)
{
    constexpr qint64 Chunk = 64 * 1024;
    char next = 0; // the byte after the current chunk, for markers across a boundary
    for (qint64 end = file.size(); end > 0;) {
        const qint64 begin = qMax<qint64>(0, end - Chunk);
        QByteArray bytes(end - begin + 1, '\0');
        if (!file.seek(begin) || file.read(bytes.data(), end - begin) != end - begin)
            return false; // cannot tell; let the decoder decide
        bytes[bytes.size() - 1] = next;
        for (qint64 i = bytes.size() - 2; i >= 0; --i) {
            if (uchar(bytes[i]) != 0xFF)
                continue;
            if (uchar(bytes[i + 1]) == 0xD9)
                return false;
            if (uchar(bytes[i + 1]) == 0xDA)
                return true;
        }
        next = bytes[0];
        end = begin;
    }
    return true;
}

// A PNG without its IEND chunk is cut off; Qt would hand back a partial image.
bool pngIsTruncated(QFile &file)
{
    const qint64 tail = qMin<qint64>(file.size(), 4096);
    if (!file.seek(file.size() - tail))
        return false;
    return !file.read(tail).contains("IEND");
}

// QImageWriter loads every image plugin to find a writer; tiles are written often
// enough that going straight to the JPEG plugin is worth it.
QImageIOPlugin *jpegPlugin()
{
    static QImageIOPlugin *const plugin = [] {
        QPluginLoader loader(QStringLiteral("imageformats/qjpeg"));
        return qobject_cast<QImageIOPlugin *>(loader.instance());
    }();
    return plugin;
}

} // namespace

QSize pictureSize(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QSize size = reader.size();
    if (!size.isValid())
        throw Error(loadError(path, reader.errorString()));
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

QImage LoadPicture(const QString &path, QSize decodeSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(loadError(path, file.errorString()));

    QImageReader reader(&file);
    reader.setAutoTransform(true);
    // Naming the common formats up front spares loading every image plugin to ask.
    const QByteArray magic = file.peek(8);
    const QByteArray known = magic.startsWith("\xFF\xD8\xFF")           ? "jpeg"
                             : magic.startsWith("\x89PNG\r\n\x1A\n") ? "png"
                                                                         : QByteArray();
    if (!known.isEmpty()) {
        reader.setFormat(known);
        reader.setAutoDetectImageFormat(false);
    }
    const QByteArray format = reader.format();
    if (format.isEmpty())
        throw Error(loadError(path, reader.errorString()));
    const qint64 at = file.pos();
    if ((format == "jpeg" && jpegIsTruncated(file)) || (format == "png" && pngIsTruncated(file)))
        throw Error(loadError(path, QStringLiteral("文件不完整")));
    file.seek(at);

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

void SavePicture(const QImage &image, const QString &path, const SaveFormat &format)
{
    writeFileAtomically(path, [&](QIODevice &device) {
        if (QImageIOPlugin *plugin = jpegPlugin(); plugin && format.format == "jpeg") {
            const std::unique_ptr<QImageIOHandler> handler(plugin->create(&device, "jpeg"));
            handler->setOption(QImageIOHandler::Quality, format.quality);
            return handler->write(image) ? QString() : QStringLiteral("JPEG 编码失败");
        }
        QImageWriter writer(&device, format.format);
        writer.setQuality(format.quality);
        if (!writer.write(image))
            return writer.errorString();
        return QString();
    });
}

} // namespace tk
