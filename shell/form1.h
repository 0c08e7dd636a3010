#pragma once

#include "core/fileid.h"
#include "shell/platform/commondialog.h"
#include "tiles/wall.h"

#include <QByteArray>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QMimeData;
class QPushButton;

namespace tk {

class Inet;
class LineShape;
class PictureBox;
class SkinLibrary;
class Update;
class WallOverlay;

// The main window. Controls and handlers carry their design names; the handlers
// gather what they need from the controls and leave the work to intake/ and tiles/.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: writes the missing companion files, attaches the skin, completes the
    // layout, shows the window (saying, without waiting, when the companion files could be
    // written nowhere) and runs the ad slot.
    void Form_Load();
    // Shutdown, when the window is closed: it stays, the ad slot runs once more, then the
    // program ends at once, the update window with it.
    void Form_Unload(int &Cancel);
    // Loads the picture named by `F` (the name's bytes, which need not be valid text, as
    // a command line gives them) into the preview as if it had been chosen in the dialog.
    void openPicture(const QByteArray &F);

    void Command1_Click();
    void p1_OLEDragDrop(const QMimeData *Data);
    void Command2_Click();
    void Check2_Click();
    void Command3_Click();
    // The ad slot: reads the ad configuration page and opens enabled ads' addresses in
    // the browser, at most five each time and each address once in a run (adsToOpen).
    // Never shows a message and never throws; with no ad address set, or offline, it
    // makes no request at all.
    void GuangGao();
    // The context menu's cut: the chosen wall in 1080-pixel tiles from the loaded
    // picture's file.
    void cutHighResolution();

    // The wall the next cut makes: grid, fit and tile size as chosen (the design's wall
    // by default), and the frame the user placed. Choosing another redraws the preview
    // (undistorted with "crop", the frame centred) and the cut lines.
    const Wall &wall() const { return m_wall; }
    void setWall(const Wall &wall);
    // The same, chosen in the menu: also remembered for the next start.
    void chooseWall(const Wall &wall);
    // The menu of walls, fits and tile sizes, on the preview and on Command2.
    void showWallMenu(QWidget *control, QPoint at);

    QPushButton *Command3;
    PictureBox *Picture1;
    CommonDialog CommonDialog1;
    QCheckBox *Check2;
    QPushButton *Command2;
    QPushButton *Command1;
    PictureBox *p1;
    Inet *Inet1;
    LineShape *Line4;
    LineShape *Line3;
    LineShape *Line2;
    LineShape *Line1;

    // Folder of the last picture loaded successfully, with its trailing separator.
    QString ImageFolder;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void attachSkin();
    void layOutAtLoad();
    // The one way a picture comes in (the dialog, a drop, the command line): the preview
    // is cleared, `chooseFile` names the picture (empty: none was chosen) or throws, and
    // any failure shows the load error with its reason.
    void loadPicture(const std::function<QByteArray()> &chooseFile);
    void loadSequence(const QByteArray &F);
    QMimeData *previewDragData() const;
    bool mayOverwriteSource(const Wall &wall);
    void cutPicture(const Wall &wall);
    // The cut lines for the chosen wall: the design's four lines, or the overlay's.
    void applyCutLines();
    void updateOverlay();
    // Cuts `wall` by `cut` once a picture is loaded, its folder takes tiles and the user
    // allows replacing the picture itself, and says how it went.
    void runCut(const Wall &wall, const std::function<void()> &cut);

    // The file behind the loaded picture, by its bytes, so the cut reads it again and never
    // replaces it unasked whatever its name.
    QByteArray m_loadedFile;
    FileIdentity m_loadedIdentity;
    // Why no tiles can be saved in ImageFolder; empty when they can.
    QString m_folderRefusal;
    // p1 shows the loaded file (not cleared since), so it can be dragged out.
    bool m_previewShowsFile = false;
    Wall m_wall;
    // The upright size of the picture the preview shows; empty while it shows none.
    QSize m_pictureSize;
    // Whether the effect preview last asked for the cut lines.
    bool m_linesShown = false;
    WallOverlay *m_overlay = nullptr;
    // The ads handed to the browser so far in this run.
    QStringList m_adsOpened;
    // The update window while it is open: no owner, only kept above this window (on
    // Wayland drawn on it); it deletes itself on closing.
    QPointer<Update> m_update;
    std::unique_ptr<SkinLibrary> m_skin;
};

} // namespace tk
