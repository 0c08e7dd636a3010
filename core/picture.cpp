#include "core/picture.h"

#include "core/atomicfile.h"
#include "core/language.h"

#include <QColorSpace>
#include <QImageIOPlugin>
#include <QImageWriter>
#include <QPluginLoader>
#include <memory>

namespace tk {

namespace {

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

// 96 dots per inch, the window's logical pixel. A new image takes its density from the
// screen, or 100 dpi without one, and a decoded one from its file: pinned here, the
// window and the cutter write the same bytes on any desktop and from any source.
constexpr int SavedDotsPerMeter = 3780;

// A view of the pixels alone. Tiles go to strangers: a source's texts would be written
// as comments, and its colour space as a profile, though the numbers are sRGB's by now.
QImage pixelsOnly(const QImage &image)
{
    QImage view(image.constBits(), image.width(), image.height(), image.bytesPerLine(),
                image.format());
    view.setColorTable(image.colorTable());
    return view;
}

} // namespace

void prepareEncoding()
{
    jpegPlugin();
}

QString encodePicture(QImage image, QIODevice &device, const SaveFormat &format)
{
    QImage viewed; // holds the pixels a view shows
    if (!image.textKeys().isEmpty() || image.colorSpace().isValid()) {
        viewed = std::move(image);
        image = pixelsOnly(viewed);
    }
    image.setDotsPerMeterX(SavedDotsPerMeter);
    image.setDotsPerMeterY(SavedDotsPerMeter);
    if (QImageIOPlugin *plugin = jpegPlugin(); plugin && format.format == "jpeg") {
        const std::unique_ptr<QImageIOHandler> handler(plugin->create(&device, "jpeg"));
        handler->setOption(QImageIOHandler::Quality, format.quality);
        return handler->write(image) ? QString() : Texts::tr("JPEG 编码失败");
    }
    QImageWriter writer(&device, format.format);
    writer.setQuality(format.quality);
    return writer.write(image) ? QString() : writer.errorString();
}

void SavePicture(QImage image, const QString &path, const SaveFormat &format)
{
    writeFileAtomically(
        path, [&](QIODevice &device) { return encodePicture(std::move(image), device, format); });
}

} // namespace tk
