// Shows the main window and the update window as the skin makes them look, for a
// screenshot in a real X server, saved at twice the size: skinshot OUT.png [plain]
// With "plain" the skin is left out, for comparison.
#include "core/companionfiles.h"
#include "shell/form1.h"
#include "shell/platform/app.h"
#include "shell/platform/picturebox.h"
#include "shell/platform/resdata.h"
#include "shell/platform/skinlibrary.h"
#include "shell/update.h"
#include "tiles/windowgeometry.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString out = QString::fromLocal8Bit(argv[1]);
    const bool plain = argc > 2 && qstrcmp(argv[2], "plain") == 0;

    // The program starts in a folder of its own; for the plain look, a file that is no
    // library stands under the library's name there, and the default look stays.
    QTemporaryDir folder;
    if (plain) {
        QFile foreign(folder.filePath(QString::fromLatin1(tk::SkinLibraryName)));
        foreign.open(QIODevice::WriteOnly);
        foreign.write("not a library");
    }
    tk::App::setPath(folder.path());
    tk::Form1 form;
    form.Form_Load();
    form.move(40, 40);

    // A picture in the preview, so the frame is seen around one.
    QImage picture(600, 300, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor(0x8F, 0xC6, 0xE8));
    sky.setColorAt(1, QColor(0xF6, 0xE3, 0xB4));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(0x4E, 0x7D, 0x5B));
    painter.setPen(Qt::NoPen);
    painter.drawPolygon(QPolygon({{0, 300}, {150, 140}, {260, 230}, {400, 110}, {600, 300}}));
    painter.end();
    form.p1->canvas().paintPicture(picture, 0, 0, tk::PreviewWidth, tk::PreviewHeight);
    form.p1->refresh();

    tk::Update update;
    update.Picture2->setWidth(2600);
    update.show();
    update.move(40, 330);

    QMessageBox notice(QMessageBox::Information, QStringLiteral("通知:"),
                       QStringLiteral("请先载入图片"), QMessageBox::Ok);
    notice.setModal(false);
    notice.show();
    notice.move(400, 330);

    // Twice the size, so frames and shadows can be judged by eye.
    QTimer::singleShot(800, &app, [&] {
        const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
        const bool saved = screen.scaled(screen.size() * 2).save(out);
        app.exit(saved ? 0 : 1);
    });
    return app.exec();
}
