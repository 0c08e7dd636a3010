// Loads a picture through the window's load path: loadprobe PATH
// Prints "ok" or the error; exit 0 or 1. Lets a test read the peak memory of a load.
#include "core/error.h"
#include "core/picturereader.h"
#include "tiles/windowcut.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    tk::setUpPictureReading();
    if (argc != 2)
        return 2;
    try {
        tk::PictureReader reader(QString::fromLocal8Bit(argv[1]));
        tk::decodePreview(reader);
    } catch (const tk::Error &e) {
        std::printf("%s\n", e.message().toUtf8().constData());
        return 1;
    }
    std::printf("ok\n");
    return 0;
}
