#include "core/exif.h"

#include <QTransform>

namespace tk {

namespace {

// Reads the TIFF structure inside the segment, never past its end.
class TiffReader {
public:
    TiffReader(const QByteArray &tiff) : m_data(tiff) {}

    bool readByteOrder()
    {
        if (m_data.startsWith("II*\0"))
            m_little = true;
        else if (m_data.startsWith("MM\0*"))
            m_little = false;
        else
            return false;
        return true;
    }
    // False when the `size` bytes at `offset` are not all inside the data.
    bool has(quint64 offset, quint64 size) const
    {
        return offset <= quint64(m_data.size()) && size <= quint64(m_data.size()) - offset;
    }
    quint32 number(quint64 offset, int size) const
    {
        quint32 value = 0;
        for (int i = 0; i < size; ++i) {
            const quint32 byte = uchar(m_data[qsizetype(offset) + (m_little ? size - 1 - i : i)]);
            value = value << 8 | byte;
        }
        return value;
    }

private:
    const QByteArray &m_data;
    bool m_little = true;
};

} // namespace

QImageIOHandler::Transformations fromOrientation(quint32 orientation)
{
    switch (orientation) {
    case 2:
        return QImageIOHandler::TransformationMirror;
    case 3:
        return QImageIOHandler::TransformationRotate180;
    case 4:
        return QImageIOHandler::TransformationFlip;
    case 5:
        return QImageIOHandler::TransformationFlipAndRotate90;
    case 6:
        return QImageIOHandler::TransformationRotate90;
    case 7:
        return QImageIOHandler::TransformationMirrorAndRotate90;
    case 8:
        return QImageIOHandler::TransformationRotate270;
    default:
        return QImageIOHandler::TransformationNone;
    }
}

QImageIOHandler::Transformations exifTransformation(const QByteArray &app1)
{
    static const QByteArray Signature("Exif\0\0", 6);
    if (!app1.startsWith(Signature))
        return QImageIOHandler::TransformationNone;
    const QByteArray tiff = app1.mid(Signature.size());
    TiffReader reader(tiff);
    if (!reader.readByteOrder() || !reader.has(4, 4))
        return QImageIOHandler::TransformationNone;
    const quint64 ifd = reader.number(4, 4);
    if (!reader.has(ifd, 2))
        return QImageIOHandler::TransformationNone;
    const quint32 entries = reader.number(ifd, 2);
    for (quint32 i = 0; i < entries; ++i) {
        const quint64 entry = ifd + 2 + quint64(i) * 12;
        if (!reader.has(entry, 12))
            break;
        constexpr quint32 OrientationTag = 0x0112, ShortType = 3;
        if (reader.number(entry, 2) == OrientationTag && reader.number(entry + 2, 2) == ShortType)
            return fromOrientation(reader.number(entry + 8, 2));
    }
    return QImageIOHandler::TransformationNone;
}

QImage applyTransformation(QImage image, QImageIOHandler::Transformations transformation)
{
    if (transformation == QImageIOHandler::TransformationNone)
        return image;
    if (transformation == QImageIOHandler::TransformationRotate270)
        return image.transformed(QTransform().rotate(270));
    image = image.mirrored(transformation & QImageIOHandler::TransformationMirror,
                           transformation & QImageIOHandler::TransformationFlip);
    if (transformation & QImageIOHandler::TransformationRotate90)
        image = image.transformed(QTransform().rotate(90));
    return image;
}

} // namespace tk
