// Loads and cuts a picture in a real main window: scaleprobe PICTURE
// Run with QT_SCALE_FACTOR set; writes the tiles beside the picture and the preview as
// the screen shows it (its device pixels) to preview.png there.
#include "core/picturereader.h"
#include "desktopstandins.h"
#include "shell/form1.h"
#include "shell/platform/picturebox.h"

#include <QApplication>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    tk::setUpPictureReading();
    if (argc != 2)
        return 2;
    const QString picture = QString::fromLocal8Bit(argv[1]);
    testsupport::WindowFixture window(QFileInfo(picture).path());
    window.desktop.chosenFile = picture;
    window.load();
    window->Command1_Click();
    window->Command2_Click();
    const QImage shown = window->p1->inner()->grab().toImage();
    std::printf("ratio=%g\n", shown.devicePixelRatio());
    return shown.save(QFileInfo(picture).path() + QStringLiteral("/preview.png")) ? 0 : 1;
}
