#include "shell/update.h"

#include "core/units.h"
#include "shell/platform/colourkey.h"
#include "shell/platform/colours.h"
#include "shell/platform/controls.h"
#include "shell/platform/inet.h"
#include "shell/platform/picturebox.h"
#include "shell/platform/report.h"
#include "shell/platform/windowsystem.h"
#include "update/versioncheck.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace tk {

namespace {

QLineEdit *makeTextBox(QWidget *form, const char *name, float left)
{
    auto *text = new QLineEdit(form);
    text->setObjectName(QLatin1String(name));
    placeControl(text, left, 360, 615, 270);
    text->setVisible(false);
    return text;
}

// The look that the constructor gave the strip, kept under any skin: Qt puts a widget's
// own style sheet before the application's whatever the selectors, so a skin loses on
// every property named here (the window keeps its key colour, the boxes their colours
// and no frame, the status line its colour and font on no background).
QString ownLook(const PictureBox *track, const PictureBox *bar, const QLabel *status)
{
    const QString plain = QStringLiteral("background: none; border: none; border-image: none;"
                                         " image: none; padding: 0; margin: 0;");
    const QFont font = status->font();
    return QStringLiteral("#Update, tk--PictureBox { %1 }"
                          "tk--PictureBox#%2 { qproperty-BackColor: %3; }"
                          "tk--PictureBox#%4 { qproperty-BackColor: %5; }"
                          "QLabel#%6 { %1 color: %7; font-family: \"%8\"; font-size: %9pt;"
                          " font-weight: normal; font-style: normal; text-decoration: none; }")
        .arg(plain, track->objectName(), track->BackColor().name(), bar->objectName(),
             bar->BackColor().name(), status->objectName(),
             status->palette().color(QPalette::WindowText).name(), font.family())
        .arg(font.pointSizeF());
}

} // namespace

Update::Update(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Update"));
    setWindowTitle(QStringLiteral("Tesselkraft"));
    // No frame and no task-bar button; the keyboard stays with the main window.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    prepareColourKey(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(twipsToWholePixels(4680), twipsToWholePixels(690));
    centreIn(this, QGuiApplication::primaryScreen()->availableGeometry());

    Picture1 = new PictureBox(this, false);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->move(0, 0, FullWidth, TrackHeight);
    Picture1->setBackColor(vbColour(0x8000000B));

    Picture2 = new PictureBox(Picture1->inner(), false);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->move(0, 0, FullWidth, TrackHeight);
    Picture2->setBackColor(vbColour(0x0000FFFF));

    Inet1 = new Inet(this);

    Text2 = makeTextBox(this, "Text2", 600);
    Text1 = makeTextBox(this, "Text1", 0);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TickInterval);
    Timer1->start();
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (m_ticking)
            guarded([this] { Timer1_Timer(); });
    });

    Label1 = new QLabel(tr("载入系统文件..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    placeControl(Label1, 1395, 345, 1815, 240);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    // The see-through background cuts out exact key pixels only: smoothed glyph edges
    // would keep a fringe of the key colour.
    font.setStyleStrategy(QFont::NoAntialias);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, vbColour(0x0000C000));
    Label1->setPalette(palette);
    Label1->setAutoFillBackground(false);

    setTabOrder(Label1, Text1);
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Picture1);
    setTabOrder(Picture1, Picture2);

    setStyleSheet(ownLook(Picture1, Picture2, Label1));
}

void Update::stayAbove(QWidget *window)
{
    QWidget *main = window->window();
    if (onWayland()) {
        // The compositor places every window itself and hands each new one the keyboard,
        // and it closes a popup once its parent loses the keyboard: there the strip is
        // drawn on the main window itself, in its middle, and no key can land in it.
        setParent(main);
        centreIn(this, main->rect());
        for (QWidget *control : findChildren<QWidget *>())
            control->setFocusPolicy(Qt::NoFocus);
        return;
    }
    // A window of its own that the desktop keeps above the main window.
    create();
    if (QWindow *above = main->windowHandle())
        windowHandle()->setTransientParent(above);
}

} // namespace tk
