// Renders the program's icon from its one design: makeicon RESOURCES_FOLDER
// writes tesselkraft.ico (32 × 32, 256 colours) into the folder, and icons/ under it
// with PNGs from 16 to 256 pixels and tesselkraft.svg.
#include "icoformat.h"
#include "icondesign.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <cstdio>

namespace {

QImage render(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    tk::paintIcon(painter, size);
    return image;
}

bool save(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: makeicon RESOURCES_FOLDER\n", stderr);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("icons")))
        return 1;
    bool ok = save(folder.filePath(QStringLiteral("tesselkraft.ico")), tk::indexedIco(render(32)));
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = render(size).save(
                 folder.filePath(QStringLiteral("icons/tesselkraft-%1.png").arg(size))) &&
             ok;
    ok = save(folder.filePath(QStringLiteral("icons/tesselkraft.svg")), tk::iconSvg()) && ok;
    return ok ? 0 : 1;
}
