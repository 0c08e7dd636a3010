// Helpers for the runs of the real program in Xvfb.
//   e2ehelper serve FILE   serves FILE on 127.0.0.1 at every path; prints the address,
//                          then one line per request
//   e2ehelper shot PNG     reads a screenshot with the update strip on the main window:
//                          "BLUE STATUS BAR_X BAR_Y WINDOW_X WINDOW_Y WINDOW_W WINDOW_H",
//                          the counts of pure blue and status-green pixels, the corner of
//                          the yellow bar (-1 -1 without one) and the box of everything
//                          unlike the desktop (the bottom-right pixel)
//   e2ehelper screen       the same of the screen as it is now
#include "httpserver.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

namespace {

int serve(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    auto *server = new testsupport::HttpServer(QCoreApplication::instance());
    server->setReply("*", {200, file.readAll()});
    QObject::connect(server, &testsupport::HttpServer::requested, server,
                     [](const QString &request) {
                         std::printf("%s\n", qPrintable(request));
                         std::fflush(stdout);
                     });
    std::printf("%s\n", qPrintable(server->url("/")));
    std::fflush(stdout);
    return QCoreApplication::exec();
}

int readShot(const QImage &picture)
{
    const QImage shot = picture.convertToFormat(QImage::Format_RGB32);
    if (shot.isNull())
        return 2;
    const QRgb desktop = shot.pixel(shot.width() - 1, shot.height() - 1);
    long blue = 0, status = 0;
    QRect bar, window;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QRgb pixel = shot.pixel(x, y);
            blue += pixel == qRgb(0, 0, 255);
            status += pixel == qRgb(0, 192, 0);
            if (pixel == qRgb(255, 255, 0))
                bar |= QRect(x, y, 1, 1);
            if (pixel != desktop)
                window |= QRect(x, y, 1, 1);
        }
    }
    if (bar.isNull())
        bar = QRect(-1, -1, 0, 0);
    std::printf("%ld %ld %d %d %d %d %d %d\n", blue, status, bar.x(), bar.y(), window.x(),
                window.y(), window.width(), window.height());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString command = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (command == QLatin1String("serve") && argc == 3) {
        QCoreApplication app(argc, argv);
        return serve(QString::fromLocal8Bit(argv[2]));
    }
    if (command == QLatin1String("shot") && argc == 3)
        return readShot(QImage(QString::fromLocal8Bit(argv[2])));
    if (command == QLatin1String("screen")) {
        QGuiApplication app(argc, argv);
        return readShot(QGuiApplication::primaryScreen()->grabWindow(0).toImage());
    }
    std::fputs("usage: e2ehelper serve FILE | e2ehelper shot PNG | e2ehelper screen\n", stderr);
    return 2;
}
