// Form1's wall designer: the menu of walls, fits and tile sizes, the frame over the
// preview, and cutting a wall other than the design's from the picture itself.
#include "core/picturereader.h"
#include "core/systemerror.h"
#include "intake/intake.h"
#include "shell/form1.h"
#include "shell/form1texts.h"
#include "shell/platform/lineshape.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"
#include "shell/walloverlay.h"
#include "shell/wallsettings.h"
#include "tiles/windowgeometry.h"

#include <QActionGroup>
#include <QMenu>
#include <QPushButton>

namespace tk {

namespace {

constexpr int HighResolutionSide = 1080;

struct Grid {
    int columns, rows;
    const char *caption;
};
const Grid Grids[] = {{4, 2, QT_TRANSLATE_NOOP("tk::Form1", "4×2（默认）")},
                      {3, 3, QT_TRANSLATE_NOOP("tk::Form1", "3×3 九宫格")},
                      {3, 1, "3×1"},
                      {2, 2, "2×2"},
                      {3, 2, "3×2"}};

// A radio item of `group` that chooses `changed` applied to the current wall.
void addChoice(QMenu *menu, QActionGroup *group, const QString &caption, bool checked,
               const std::function<void()> &choose)
{
    QAction *action = menu->addAction(caption);
    action->setCheckable(true);
    action->setChecked(checked);
    action->setActionGroup(group);
    QObject::connect(action, &QAction::triggered, menu, choose);
}

} // namespace

void Form1::setWall(const Wall &wall)
{
    const bool refit = wall.fit != m_wall.fit;
    m_wall = wall;
    m_wall.frame = QRectF();
    // The preview is drawn anew for the other fit, from the file it shows.
    if (refit && m_previewShowsFile) {
        const QByteArray file = m_loadedFile;
        loadPicture([file] { return file; });
        return;
    }
    updateOverlay();
}

void Form1::chooseWall(const Wall &wall)
{
    rememberWall(wall);
    setWall(wall);
}

void Form1::updateOverlay()
{
    const QSize inner = previewInnerPixels();
    const QRectF placement = m_wall.fit == Fit::Crop
                                 ? QRectF(fittedPlacement(m_pictureSize, inner))
                                 : QRectF(QPointF(0, 0), QSizeF(twipsToPixels(p1->Width()),
                                                                twipsToPixels(p1->Height())));
    m_overlay->setWall(m_wall, m_previewShowsFile ? m_pictureSize : QSize(), placement);
    applyCutLines();
}

void Form1::applyCutLines()
{
    const bool design = m_wall.isDesignChoice();
    for (LineShape *line : {Line1, Line2, Line3, Line4})
        line->setVisible(design && m_linesShown);
    m_overlay->setLinesShown(m_linesShown);
}

void Form1::showWallMenu(QWidget *control, QPoint at)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("wallMenu"));
    const Wall now = m_wall;
    const auto choose = [this, now](const std::function<void(Wall &)> &change) {
        return [this, now, change] {
            Wall wall = now;
            change(wall);
            chooseWall(wall);
        };
    };

    QMenu *walls = menu.addMenu(tr("照片墙"));
    auto *wallGroup = new QActionGroup(walls);
    bool preset = false;
    for (const Grid &grid : Grids) {
        const bool current = now.columns == grid.columns && now.rows == grid.rows;
        preset = preset || current;
        addChoice(walls, wallGroup, tr(grid.caption), current, choose([grid](Wall &w) {
                      w.columns = grid.columns;
                      w.rows = grid.rows;
                  }));
    }
    walls->addSeparator();
    QMenu *columns = walls->addMenu(tr("列数（%1）").arg(now.columns));
    QMenu *rows = walls->addMenu(tr("行数（%1）").arg(now.rows));
    auto *columnGroup = new QActionGroup(columns);
    auto *rowGroup = new QActionGroup(rows);
    for (int n = 1; n <= MaxWallSide; ++n) {
        addChoice(columns, columnGroup, QString::number(n), n == now.columns,
                  choose([n](Wall &w) { w.columns = n; }));
        addChoice(rows, rowGroup, QString::number(n), n == now.rows,
                  choose([n](Wall &w) { w.rows = n; }));
    }

    QMenu *fits = menu.addMenu(tr("取景"));
    auto *fitGroup = new QActionGroup(fits);
    addChoice(fits, fitGroup, tr("拉伸铺满"), now.fit == Fit::Stretch,
              choose([](Wall &w) { w.fit = Fit::Stretch; }));
    addChoice(fits, fitGroup, tr("保持比例"), now.fit == Fit::Crop,
              choose([](Wall &w) { w.fit = Fit::Crop; }));

    QMenu *sizes = menu.addMenu(tr("小图尺寸"));
    auto *sizeGroup = new QActionGroup(sizes);
    addChoice(sizes, sizeGroup, tr("%1×%1（默认，取自预览）").arg(windowTileSide()),
              now.tileSize == 0, choose([](Wall &w) { w.tileSize = 0; }));
    addChoice(sizes, sizeGroup, QStringLiteral("%1×%1").arg(HighResolutionSide),
              now.tileSize == HighResolutionSide,
              choose([](Wall &w) { w.tileSize = HighResolutionSide; }));
    addChoice(sizes, sizeGroup, tr("原图清晰度"), now.tileSize == NativeTileSize,
              choose([](Wall &w) { w.tileSize = NativeTileSize; }));
    if (now.tileSize > 0 && now.tileSize != HighResolutionSide)
        addChoice(sizes, sizeGroup, QStringLiteral("%1×%1").arg(now.tileSize), true, [] {});

    if (now.fit == Fit::Crop) {
        menu.addSeparator();
        menu.addAction(tr("拖动取景框移动它，滚轮或 +、− 键缩放"))->setEnabled(false);
    }
    if (control == Command2) {
        menu.addSeparator();
        menu.addAction(findChild<QAction *>(QStringLiteral("highResAction")));
    }
    menu.exec(control->mapToGlobal(at));
}

void Form1::cutPicture(const Wall &wall)
{
    runCut(wall, [&] {
        PictureReader reader(m_loadedFile, shownName(m_loadedFile));
        const WallPlan plan = planWall(reader, wall);
        // Said before the cut, which goes ahead.
        if (plan.enlargement > NotableEnlargement)
            MsgBox(enlargementWarning(plan.enlargement), vbExclamation, tr("提示："));
        writeWall(decodeForWall(reader, wall, plan), ImageFolder, wall, plan);
    });
}

void Form1::cutHighResolution()
{
    Wall wall = m_wall;
    wall.tileSize = HighResolutionSide;
    cutPicture(wall);
}

} // namespace tk
