#include "shell/form1.h"

#include "core/units.h"
#include "shell/platform/colours.h"
#include "shell/platform/controls.h"
#include "shell/platform/inet.h"
#include "shell/platform/lineshape.h"
#include "shell/platform/picturebox.h"
#include "shell/platform/report.h"
#include "shell/platform/skinlibrary.h"
#include "shell/update.h"
#include "shell/walloverlay.h"
#include "tiles/tilegrid.h"
#include "tiles/windowgeometry.h"

#include <QCheckBox>
#include <QIcon>
#include <QPushButton>
#include <chrono>

namespace tk {

namespace {

// The ad page is read at start-up and on closing: it may hold the window this long.
constexpr std::chrono::milliseconds AdSlotTimeout{5000};

QPushButton *makeButton(QWidget *form, const char *name, const QString &caption, float left,
                        float top, float width, float height)
{
    auto *button = new QPushButton(caption, form);
    button->setObjectName(QLatin1String(name));
    placeControl(button, left, top, width, height);
    return button;
}

// The design at every size the desktop asks for: the 32 × 32 icon and larger renderings.
QIcon programIcon()
{
    QIcon icon(QStringLiteral(":/icons/tesselkraft.ico"));
    for (const int size : {16, 22, 24, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/icons/tesselkraft-%1.png").arg(size),
                     QSize(size, size));
    return icon;
}

LineShape *makeLine(QWidget *container, const char *name, float x1, float y1, float x2, float y2,
                    bool visible)
{
    auto *line = new LineShape(container);
    line->setObjectName(QLatin1String(name));
    line->setBorderColor(vbColour(0x00FFFFFF));
    line->setBorderWidth(4);
    line->setX1(x1);
    line->setY1(y1);
    line->setX2(x2);
    line->setY2(y2);
    line->setVisible(visible);
    return line;
}

} // namespace

Form1::Form1(QWidget *parent) : QWidget(parent), CommonDialog1(this)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tesselkraft"));
    setWindowIcon(programIcon());
    // Fixed single frame: close and minimize boxes, no resizing.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToWholePixels(FormWidth), twipsToWholePixels(FormHeight));

    Command3 = makeButton(this, "Command3", tr("检查更新"), 3040, 105, 1095, 375);

    Picture1 = new PictureBox(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->move(1425, 735, 975, 615);
    Picture1->setBackColor(previewBackColour());
    Picture1->setVisible(false);

    Check2 = new QCheckBox(tr("效果预览"), this);
    Check2->setObjectName(QStringLiteral("Check2"));
    placeControl(Check2, 1760, 105, 1095, 375);

    Command2 = makeButton(this, "Command2", tr("生成图片"), 4320, 75, 1575, 495);
    Command1 = makeButton(this, "Command1", tr("选择图片"), 120, 75, 1455, 495);

    p1 = new PictureBox(this);
    p1->setObjectName(QStringLiteral("p1"));
    p1->move(PreviewLeft, PreviewTop, PreviewWidth, PreviewHeight);
    p1->setBackColor(previewBackColour());
    p1->setToolTip(tr("您可以直接把图片拖到这里."));
    p1->setDropHandler([this](const QMimeData *data) { guarded([&] { p1_OLEDragDrop(data); }); });
    p1->setDragSource([this] { return previewDragData(); });

    Inet1 = new Inet(p1);
    // Only the ad page uses this control, at start-up and on closing: a dead ad server
    // must not hold the window for the full minute.
    Inet1->setRequestTimeout(AdSlotTimeout);

    Line4 = makeLine(p1->inner(), "Line4", 0, 1508, 6000, 1508, false);
    Line3 = makeLine(p1->inner(), "Line3", 4560, 0, 4560, 2940, true);
    Line2 = makeLine(p1->inner(), "Line2", 2880, 0, 2880, 2940, true);
    Line1 = makeLine(p1->inner(), "Line1", 1320, 0, 1320, 2940, true);

    setTabOrder(p1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Check2);
    setTabOrder(Check2, Picture1);
    setTabOrder(Picture1, Command3);

    connect(Command1, &QPushButton::clicked, this,
            [this] { guarded([this] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this,
            [this] { guarded([this] { Command2_Click(); }); });
    // The full-resolution cut sits in Command2's context menu; the left click stays as it is.
    auto *highRes = new QAction(tr("生成高清图片（1080×1080）"), Command2);
    highRes->setObjectName(QStringLiteral("highResAction"));
    connect(highRes, &QAction::triggered, this,
            [this] { guarded([this] { cutHighResolution(); }); });
    // The wall designer's choices: in the context menus of Command2 and of the preview.
    Command2->setToolTip(tr("右键（或菜单键）可选择照片墙、取景方式和小图尺寸"));
    for (QWidget *control : {static_cast<QWidget *>(Command2), static_cast<QWidget *>(p1)}) {
        control->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(control, &QWidget::customContextMenuRequested, this, [this, control](QPoint at) {
            guarded([&] { showWallMenu(control, at); });
        });
    }
    m_overlay = new WallOverlay(p1);
    m_overlay->setFrameHandler([this](const QRectF &frame) { m_wall.frame = frame; });
    connect(Command3, &QPushButton::clicked, this,
            [this] { guarded([this] { Command3_Click(); }); });
    // toggled, not clicked: a change made in code raises the handler too.
    connect(Check2, &QCheckBox::toggled, this, [this] { guarded([this] { Check2_Click(); }); });
}

Form1::~Form1()
{
    delete m_update;
}

void Form1::layOutAtLoad()
{
    for (LineShape *line : {Line1, Line2, Line3, Line4})
        line->setVisible(false);

    const GridLines grid = gridLines(p1->ScaleWidth(), p1->ScaleHeight(), p1->ScaleTop());
    Line1->setX1(grid.x1);
    Line1->setX2(grid.x1);
    Line2->setX1(grid.x2);
    Line2->setX2(grid.x2);
    Line3->setX1(grid.x3);
    Line3->setX2(grid.x3);
    Line4->setY1(grid.y);
    Line4->setY2(grid.y);

    Picture1->setTop(p1->Top());
    Picture1->setWidth(CanvasSide);
    Picture1->setHeight(CanvasSide);
    Picture1->setLeft(p1->Left());
}

} // namespace tk
