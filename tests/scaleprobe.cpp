// Loads and cuts a picture in a real main window: scaleprobe PICTURE
// Run with QT_SCALE_FACTOR set; writes the tiles beside the picture and the preview as
// the screen shows it (its device pixels) to preview.png there.
#include "core/picturereader.h"
#include "shell/form1.h"
#include "shell/platform/app.h"
#include "shell/platform/messages.h"
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
    tk::setOpenDialogHook([picture] { return picture; });
    tk::setMsgBoxHook([](const tk::Message &) { return int(tk::vbOK); });
    tk::App::setPath(QFileInfo(picture).path());
    tk::Form1 form;
    form.Form_Load();
    form.Command1_Click();
    form.Command2_Click();
    const QImage shown = form.p1->inner()->grab().toImage();
    std::printf("ratio=%g\n", shown.devicePixelRatio());
    return shown.save(QFileInfo(picture).path() + QStringLiteral("/preview.png")) ? 0 : 1;
}
