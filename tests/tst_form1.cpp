#include "core/picturereader.h"
#include "desktopstandins.h"
#include "shell/form1.h"
#include "shell/platform/lineshape.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"
#include "shell/walloverlay.h"
#include "shell/wallsettings.h"
#include "testsupport.h"
#include "tiles/framing.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace testsupport;

namespace {

const QString NoPicture = QStringLiteral("请先载入图片");
const QString FormatError = QStringLiteral("图片格式错误");
const QString Done = QStringLiteral("图片已经切割完毕,在原图片文件夹下以1-8命名");

// What the window system sends for a drag that ends on `target`.
void dropOnto(QWidget *target, const QMimeData &data)
{
    const QPoint at(100, 100);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

} // namespace

class TstForm1 : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { tk::setUpPictureReading(); } // as the programs do at start
    void init();
    void cleanup();
    void layoutAtLoad();
    void intakeStateRules();
    void dropLoadsTheFirstFileOnly();
    void cutWritesEightTilesOrRefuses();
    void failingSaveWarnsAndTheWindowLives();
    void sourcePictureIsNotOverwrittenUnasked();
    void previewStateMachine();
    void highResolutionCutFromTheMenu();
    void commandLineNameKeepsItsBytes_data();
    void commandLineNameKeepsItsBytes();
    void previewHasFocusAndDragsOut();
    void frameFollowsDragAndWheel();
    void scaledScreensShowSharpPreviewsAndCutTheSameTiles();

private:
    QString picture(const QString &name, QSize size = QSize(800, 400));
    void choose(const QString &path);
    bool previewIsBlank() const;
    QList<bool> linesVisible() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<WindowFixture> m_window;
    tk::Form1 *m_form = nullptr;
    DesktopRecorder *m_desktop = nullptr;
};

void TstForm1::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QDir::setCurrent(m_dir->path());
    m_window = std::make_unique<WindowFixture>(m_dir->filePath("program"));
    m_form = &m_window->form();
    m_desktop = &m_window->desktop;
    m_window->load();
}

void TstForm1::cleanup()
{
    QVERIFY2(m_desktop->unhandled.isEmpty(), qPrintable(m_desktop->unhandled.join('\n')));
    QCOMPARE(m_desktop->ends, 0);
    m_window.reset();
    QDir::setCurrent(QDir::tempPath());
}

QString TstForm1::picture(const QString &name, QSize size)
{
    const QString path = m_dir->filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    writeImage(gridPicture(size, 4, 2), path, "png");
    return path;
}

void TstForm1::choose(const QString &path)
{
    m_desktop->chosenFile = path;
    m_form->Command1->click();
}

bool TstForm1::previewIsBlank() const
{
    const QImage image = m_form->p1->Image().image();
    QImage blank(image.size(), image.format());
    blank.fill(m_form->p1->canvas().backColor());
    return image == blank;
}

QList<bool> TstForm1::linesVisible() const
{
    return {m_form->Line1->isVisible(), m_form->Line2->isVisible(), m_form->Line3->isVisible(),
            m_form->Line4->isVisible()};
}

void TstForm1::layoutAtLoad()
{
    tk::Form1 &f = *m_form;
    QCOMPARE(f.size(), QSize(400, 248));
    QCOMPARE(f.minimumSize(), f.maximumSize());
    QCOMPARE(f.p1->geometry(), QRect(0, 45, 400, 200));
    QCOMPARE(f.p1->inner()->size(), QSize(396, 196));
    // Only the preview takes drops.
    for (QWidget *w : f.findChildren<QWidget *>())
        QCOMPARE(w->acceptDrops(), w == f.p1);
    QVERIFY(!f.acceptDrops());

    // The canvas sits hidden on the preview's corner, 150 × 150 outside, 146 × 146 inside.
    QVERIFY(!f.Picture1->isVisible());
    QCOMPARE(f.Picture1->geometry(), QRect(0, 45, 150, 150));
    QCOMPARE(f.Picture1->canvas().size(), QSize(146, 146));

    QCOMPARE(linesVisible(), QList<bool>({false, false, false, false}));
    QCOMPARE(QList<float>({f.Line1->X1(), f.Line1->X2(), f.Line2->X1(), f.Line3->X2()}),
             QList<float>({1485, 1485, 2970, 4455}));
    QCOMPARE(QList<float>({f.Line1->Y1(), f.Line1->Y2(), f.Line4->Y1(), f.Line4->X2()}),
             QList<float>({0, 2940, 1470, 6000}));
}

void TstForm1::intakeStateRules()
{
    tk::Form1 &f = *m_form;
    choose(QString());
    QVERIFY(m_desktop->messages.isEmpty());
    QCOMPARE(f.Picture1->picture().Handle(), 0);
    QVERIFY(f.ImageFolder.isEmpty());

    const QString first = picture("photos/cat.png");
    choose(first);
    QVERIFY(m_desktop->messages.isEmpty());
    QVERIFY(f.Picture1->picture().Handle() != 0);
    QCOMPARE(f.ImageFolder, m_dir->filePath("photos/"));
    QVERIFY(sameColour(f.p1->Image().image().pixelColor(390, 190), cellColour(7), 10));
    QCOMPARE(f.Picture1->picture().image(), f.p1->Image().image());

    // Cancel: the preview is emptied, the snapshot and the folder stay.
    choose(QString());
    QVERIFY(previewIsBlank());
    QVERIFY(f.Picture1->picture().Handle() != 0);
    QCOMPARE(f.ImageFolder, m_dir->filePath("photos/"));

    // A failed load empties the snapshot, keeps the folder and says why.
    const QString bad = m_dir->filePath("other/not-a-picture.jpg");
    QDir().mkpath(m_dir->filePath("other"));
    writeBytes("hello", bad);
    choose(first);
    choose(bad);
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].prompt, FormatError);
    QCOMPARE(m_desktop->messages[0].style, tk::vbCritical);
    QCOMPARE(m_desktop->messages[0].title, QString("警告："));
    // The real reason, naming the file, is there on request.
    QCOMPARE(m_desktop->messages[0].detail,
             QString("无法读取图片“%1”：不是支持的图片格式").arg(bad));
    QCOMPARE(f.Picture1->picture().Handle(), 0);
    QVERIFY(previewIsBlank());
    QCOMPARE(f.ImageFolder, m_dir->filePath("photos/"));
}

void TstForm1::dropLoadsTheFirstFileOnly()
{
    tk::Form1 &f = *m_form;
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(picture("a/one.png")),
                   QUrl::fromLocalFile(picture("b/two.png")),
                   QUrl::fromLocalFile(picture("c/three.png"))});
    dropOnto(f.p1, files);
    QVERIFY(m_desktop->messages.isEmpty());
    QCOMPARE(f.ImageFolder, m_dir->filePath("a/"));
    QVERIFY(f.Picture1->picture().Handle() != 0);

    QMimeData text;
    text.setText("some selected text");
    dropOnto(f.p1, text);
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].prompt, FormatError);
    QCOMPARE(m_desktop->messages[0].detail, QString("拖放的不是文件"));
    QCOMPARE(f.Picture1->picture().Handle(), 0);
    QCOMPARE(f.ImageFolder, m_dir->filePath("a/"));
}

void TstForm1::cutWritesEightTilesOrRefuses()
{
    tk::Form1 &f = *m_form;
    f.Command2->click();
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].prompt, NoPicture);
    QCOMPARE(m_desktop->messages[0].style, tk::vbInformation);
    QCOMPARE(m_desktop->messages[0].title, QString("通知:"));
    QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());

    choose(picture("wall/photo.png", QSize(4000, 2000)));
    f.Command2->click();
    QCOMPARE(m_desktop->messages.size(), 2);
    QCOMPARE(m_desktop->messages[1].prompt, Done);
    QCOMPARE(m_desktop->messages[1].style, tk::vbInformation);
    QCOMPARE(m_desktop->messages[1].title, QString("恭喜:"));
    for (int k = 1; k <= 8; ++k)
        QCOMPARE(QImage(m_dir->filePath(QString("wall/%1.jpg").arg(k))).size(), QSize(146, 146));
}

void TstForm1::failingSaveWarnsAndTheWindowLives()
{
    tk::Form1 &f = *m_form;
    choose(picture("busy/photo.png"));
    QVERIFY(QDir().mkpath(m_dir->filePath("busy/3.jpg")));
    f.Command2->click();
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].style, tk::vbCritical);
    QCOMPARE(m_desktop->messages[0].title, QString("警告："));
    QVERIFY2(m_desktop->messages[0].prompt.contains(m_dir->filePath("busy/3.jpg")) &&
                 m_desktop->messages[0].prompt.contains("这是一个文件夹"),
             qPrintable(m_desktop->messages[0].prompt));
    QVERIFY(QFileInfo(m_dir->filePath("busy/2.jpg")).isFile());
    QVERIFY(!QFileInfo::exists(m_dir->filePath("busy/4.jpg")));

    // The window goes on and cuts once the way is clear.
    QVERIFY(QDir(m_dir->filePath("busy/3.jpg")).removeRecursively());
    f.Command2->click();
    QCOMPARE(m_desktop->messages.last().prompt, Done);
    QVERIFY(QFileInfo(m_dir->filePath("busy/8.jpg")).isFile());
}

void TstForm1::sourcePictureIsNotOverwrittenUnasked()
{
    tk::Form1 &f = *m_form;
    const QString source = picture("own/1.jpg");
    const QByteArray original = readBytes(source);
    choose(source);

    m_desktop->answer = tk::vbCancel;
    f.Command2->click();
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].style, tk::vbOKCancel + tk::vbExclamation);
    QVERIFY(m_desktop->messages[0].prompt.contains(source));
    QCOMPARE(readBytes(source), original);
    QVERIFY(!QFileInfo::exists(m_dir->filePath("own/2.jpg")));

    m_desktop->answer = tk::vbOK;
    f.Command2->click();
    QCOMPARE(m_desktop->messages.last().prompt, Done);
    QCOMPARE(QImage(source).size(), QSize(146, 146));
    QVERIFY(QFileInfo::exists(m_dir->filePath("own/8.jpg")));

    // A picture elsewhere is cut without the question.
    m_desktop->messages.clear();
    choose(picture("plain/photo.png"));
    f.Command2->click();
    QCOMPARE(m_desktop->titles(), QStringList({"恭喜:"}));

    // Renamed after loading: asked only when a tile would really replace it.
    m_desktop->messages.clear();
    choose(picture("moved/photo.png"));
    QVERIFY(QFile::rename(m_dir->filePath("moved/photo.png"), m_dir->filePath("moved/kept.png")));
    f.Command2->click();
    QCOMPARE(m_desktop->titles(), QStringList({"恭喜:"}));

    m_desktop->messages.clear();
    choose(picture("renamed/photo.png"));
    QVERIFY(QFile::rename(m_dir->filePath("renamed/photo.png"), m_dir->filePath("renamed/5.jpg")));
    const QByteArray renamed = readBytes(m_dir->filePath("renamed/5.jpg"));
    m_desktop->answer = tk::vbCancel;
    f.Command2->click();
    QCOMPARE(m_desktop->titles(), QStringList({"覆盖提示："}));
    QCOMPARE(readBytes(m_dir->filePath("renamed/5.jpg")), renamed);
}

void TstForm1::previewStateMachine()
{
    tk::Form1 &f = *m_form;
    const QList<bool> none{false, false, false, false}, all{true, true, true, true};

    f.Check2->click();
    QCOMPARE(m_desktop->messages.size(), 1);
    QCOMPARE(m_desktop->messages[0].prompt, NoPicture);
    QCOMPARE(m_desktop->messages[0].title, QString("通知:"));
    QVERIFY(!f.Check2->isChecked());
    QCOMPARE(linesVisible(), none);

    choose(picture("p/photo.png"));
    f.Check2->click();
    QCOMPARE(linesVisible(), all);
    // The lines are an overlay: tiles cut with them showing equal those cut without.
    f.Command2->click();
    const QByteArray withLines = readBytes(m_dir->filePath("p/1.jpg"));
    f.Check2->click();
    QCOMPARE(linesVisible(), none);
    f.Command2->click();
    QCOMPARE(readBytes(m_dir->filePath("p/1.jpg")), withLines);

    // A new picture keeps the lines; a failed load leaves them too.
    f.Check2->click();
    choose(picture("q/photo.png"));
    QCOMPARE(linesVisible(), all);
    QVERIFY(f.Check2->isChecked());
    writeBytes("nope", m_dir->filePath("q/bad.jpg"));
    choose(m_dir->filePath("q/bad.jpg"));
    QCOMPARE(linesVisible(), all);

    // Without a picture, unticking leaves the lines; ticking again is refused.
    m_desktop->messages.clear();
    f.Check2->click();
    QVERIFY(!f.Check2->isChecked());
    QCOMPARE(linesVisible(), all);
    QVERIFY(m_desktop->messages.isEmpty());
    f.Check2->click();
    QCOMPARE(m_desktop->titles(), QStringList({"通知:"}));
    QVERIFY(!f.Check2->isChecked());
    QCOMPARE(linesVisible(), all);
}

void TstForm1::highResolutionCutFromTheMenu()
{
    tk::Form1 &f = *m_form;
    auto *action = f.Command2->findChild<QAction *>("highResAction");
    QVERIFY(action);
    QCOMPARE(action->text(), QString("生成高清图片（1080×1080）"));
    action->trigger();
    QCOMPARE(m_desktop->titles(), QStringList({"通知:"}));

    const QString source = picture("hd/photo.png", QSize(1600, 800));
    choose(source);
    action->trigger();
    QCOMPARE(m_desktop->messages.last().prompt, Done);
    for (int k = 1; k <= 8; ++k) {
        const QImage tile(m_dir->filePath(QString("hd/%1.jpg").arg(k)));
        QCOMPARE(tile.size(), QSize(1080, 1080));
        QVERIFY(sameColour(tile.pixelColor(540, 540), cellColour(k - 1), 12));
    }

    // The file is read again; once it is gone the cut says so and the window goes on.
    QVERIFY(QFile::remove(source));
    action->trigger();
    QCOMPARE(m_desktop->messages.last().title, QString("警告："));
    QVERIFY(m_desktop->messages.last().prompt.contains(source));
}

void TstForm1::commandLineNameKeepsItsBytes_data()
{
    QTest::addColumn<QByteArray>("path");      // below the test folder, as the command line has it
    QTest::addColumn<QByteArray>("renamedTo"); // where the picture goes after loading
    QTest::addColumn<QByteArray>("address");   // the end of the address it drags out as
    QTest::addColumn<QString>("cutSays");      // part of what the 1080 cut then says
    QTest::newRow("name with byte E9 is read again for the 1080 cut")
        << QByteArray("e9/caf\xE9.png") << QByteArray() << QByteArray("/e9/caf%E9.png") << Done;
    QTest::newRow("name with byte E9 renamed to a tile's name is not replaced unasked")
        << QByteArray("e9-renamed/caf\xE9.png") << QByteArray("e9-renamed/5.jpg")
        << QByteArray("/e9-renamed/caf%E9.png") << QStringLiteral("就是正在切割的原图片");
    QTest::newRow("folder with byte E9 shows the picture and the cut says why not")
        << QByteArray("caf\xE9/photo.png") << QByteArray() << QByteArray("/caf%E9/photo.png")
        << QStringLiteral(
               "文件夹名不是系统编码下的有效文字，无法在其中保存小图：“<here>/caf\\xe9”");
}

void TstForm1::commandLineNameKeepsItsBytes()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, renamedTo);
    QFETCH(QByteArray, address);
    QFETCH(QString, cutSays);
    tk::Form1 &f = *m_form;
    const QByteArray here = QFile::encodeName(m_dir->path());
    const QByteArray file = here + '/' + path;
    const QByteArray folder = file.left(file.lastIndexOf('/'));
    QCOMPARE(::mkdir(folder.constData(), 0700), 0);
    const QString staged = picture("staged.png", QSize(1600, 800));
    QCOMPARE(std::rename(QFile::encodeName(staged).constData(), file.constData()), 0);

    f.openPicture(file);
    QVERIFY2(m_desktop->messages.isEmpty(), qPrintable(m_desktop->messages.value(0).prompt));
    QVERIFY(sameColour(f.p1->Image().image().pixelColor(390, 190), cellColour(7), 10));
    QList<QUrl> dragged;
    tk::PictureBox::setDragHook([&](const QMimeData &data) { dragged = data.urls(); });
    f.p1->startDrag();
    tk::PictureBox::setDragHook({});
    QCOMPARE(dragged.size(), 1);
    QCOMPARE(dragged[0].toEncoded(), "file://" + here + address);

    QByteArray renamedBytes;
    if (!renamedTo.isEmpty()) {
        QCOMPARE(std::rename(file.constData(), (here + '/' + renamedTo).constData()), 0);
        renamedBytes = readBytes(QFile::decodeName(here + '/' + renamedTo));
    }
    m_desktop->answer = tk::vbCancel;
    f.Command2->findChild<QAction *>("highResAction")->trigger();
    // 1080-pixel tiles from a 1600-pixel picture are enlarged: a cut says so first.
    if (cutSays == Done)
        QCOMPARE(m_desktop->prompts().value(0), QString("小图将被放大约 2.8 倍，可能不清晰"));
    QCOMPARE(m_desktop->messages.size(), cutSays == Done ? 2 : 1);
    const QString expected = QString(cutSays).replace("<here>", m_dir->path());
    QVERIFY2(m_desktop->messages.last().prompt.contains(expected),
             qPrintable(m_desktop->messages.last().prompt));
    // Tiles only when the cut says so, and then in the picture's own folder.
    QCOMPARE(::access((folder + "/1.jpg").constData(), F_OK) == 0, cutSays == Done);
    if (cutSays == Done)
        QCOMPARE(QImage(QFile::decodeName(folder) + "/1.jpg").size(), QSize(1080, 1080));
    if (!renamedTo.isEmpty())
        QCOMPARE(readBytes(QFile::decodeName(here + '/' + renamedTo)), renamedBytes);
}

QTEST_MAIN(TstForm1)
#include "tst_form1.moc"

void TstForm1::previewHasFocusAndDragsOut()
{
    tk::Form1 &f = *m_form;
    QVERIFY(QTest::qWaitForWindowActive(&f));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(f.p1));

    // Stands in for the platform's drag loop, and drops the data back onto the preview
    // while the drag is on, as a slip of the mouse would.
    QList<QMimeData *> dragged;
    bool droppedBackAccepted = true;
    tk::PictureBox::setDragHook([&](const QMimeData &data) {
        auto *copy = new QMimeData;
        copy->setImageData(data.imageData());
        copy->setUrls(data.urls());
        dragged << copy;
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f.p1, &drop);
        droppedBackAccepted = drop.isAccepted();
    });
    const auto dragAcross = [&] {
        QWidget *inner = f.p1->inner();
        QTest::mousePress(inner, Qt::LeftButton, {}, QPoint(50, 50));
        QMouseEvent move(QEvent::MouseMove, QPointF(50 + QApplication::startDragDistance(), 60),
                         inner->mapToGlobal(QPointF(70, 60)), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(inner, &move);
        QTest::mouseRelease(inner, Qt::LeftButton, {}, QPoint(70, 60));
    };
    dragAcross(); // nothing to drag before a picture is shown
    QCOMPARE(dragged.size(), 0);

    const QString source = picture("drag/photo.png");
    choose(source);
    const QImage before = f.p1->Image().image();
    dragAcross();
    tk::PictureBox::setDragHook({});
    QCOMPARE(dragged.size(), 1);
    const std::unique_ptr<QMimeData> data(dragged.takeFirst());
    QCOMPARE(qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32),
             before.convertToFormat(QImage::Format_RGB32));
    QCOMPARE(data->urls(), QList<QUrl>{QUrl::fromLocalFile(source)});
    // The drop back onto the preview changed nothing and said nothing.
    QVERIFY(!droppedBackAccepted);
    QCOMPARE(f.p1->Image().image(), before);
    QVERIFY(m_desktop->messages.isEmpty());
}

void TstForm1::frameFollowsDragAndWheel()
{
    tk::Form1 &f = *m_form;
    tk::Wall nine;
    nine.columns = nine.rows = 3;
    nine.fit = tk::Fit::Crop;
    f.chooseWall(nine);
    const QSizeF size(800, 600);
    // Red tells how far right a pixel is, green how far down: smooth, as JPEG keeps it.
    QImage original(size.toSize(), QImage::Format_RGB32);
    for (int y = 0; y < original.height(); ++y)
        for (int x = 0; x < original.width(); ++x)
            original.setPixel(x, y, qRgb(x * 255 / 799, y * 255 / 599, 128));
    writeImage(original, m_dir->filePath("photo.png"));
    choose(m_dir->filePath("photo.png"));
    auto *overlay = f.findChild<tk::WallOverlay *>("wallOverlay");
    QVERIFY(overlay && overlay->isVisible());
    // The whole picture undistorted, between bars of the back colour.
    QCOMPARE(f.p1->Image().image().pixelColor(10, 98), f.p1->canvas().backColor());
    const QRectF centred = tk::wallArea(f.wall(), size);
    QCOMPARE(centred.height(), 600.0);

    // Dragged far to the left, the frame stops at the picture's edge; no picture is
    // dragged out meanwhile.
    bool draggedOut = false;
    tk::PictureBox::setDragHook([&](const QMimeData &) { draggedOut = true; });
    const auto mouse = [&](QEvent::Type type, QPointF at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, overlay->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(overlay, &event);
    };
    mouse(QEvent::MouseButtonPress, QPointF(198, 98), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(120, 98), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPointF(5, 90), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPointF(5, 90), Qt::NoButton);
    tk::PictureBox::setDragHook({});
    QVERIFY(!draggedOut);
    QRectF frame = tk::wallArea(f.wall(), size);
    QCOMPARE(frame.left(), 0.0);
    QCOMPARE(frame.top(), 0.0);

    // The wheel turned away zooms in about the pointer; the frame stays in the picture.
    QWheelEvent wheel(QPointF(80, 98), overlay->mapToGlobal(QPointF(80, 98)), QPoint(),
                      QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(overlay, &wheel);
    frame = tk::wallArea(f.wall(), size);
    QVERIFY2(std::abs(frame.height() - 600 / 1.1) < 0.01, qPrintable(QString::number(frame.height())));
    QVERIFY(frame.left() >= 0 && frame.top() >= 0);
    // A key moves it on.
    QTest::keyClick(f.p1, Qt::Key_Right);
    QVERIFY(tk::wallArea(f.wall(), size).left() > frame.left());

    // Nine tiles of exactly that frame, and the choice is there at the next start.
    f.Command2->click();
    QCOMPARE(m_desktop->prompts(), QStringList{"图片已经切割完毕,在原图片文件夹下以1-9命名"});
    const QList<QRectF> cells = tk::wallCells(f.wall(), size);
    for (int k : {1, 5, 9}) {
        const QImage tile(m_dir->filePath(QString("%1.jpg").arg(k)));
        QCOMPARE(tile.size(), QSize(146, 146));
        const QColor seen = tile.pixelColor(73, 73);
        const QColor there = original.pixelColor(cells[k - 1].center().toPoint());
        QVERIFY2(std::abs(seen.red() - there.red()) < 4 && std::abs(seen.green() - there.green()) < 4,
                 qPrintable(QString("tile %1: %2, picture %3").arg(k).arg(seen.name(), there.name())));
    }
    const tk::Wall remembered = tk::rememberedWall();
    QCOMPARE(remembered.columns, 3);
    QCOMPARE(remembered.fit, tk::Fit::Crop);
}

void TstForm1::scaledScreensShowSharpPreviewsAndCutTheSameTiles()
{
    const QImage original = positionPicture(QSize(1200, 600));
    const QList<const char *> scales{"1", "1.25", "2"};
    // Every scale in a process of its own, all at once.
    std::vector<std::unique_ptr<QProcess>> probes;
    for (const char *scale : scales) {
        const QString dir = m_dir->filePath(QStringLiteral("scale-%1").arg(scale));
        QDir().mkpath(dir);
        writeImage(original, dir + "/photo.png");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_SCALE_FACTOR", scale);
        env.insert("QT_QPA_PLATFORM", "offscreen");
        probes.push_back(std::make_unique<QProcess>());
        probes.back()->setProcessEnvironment(env);
        probes.back()->start(QStringLiteral(TK_SCALEPROBE), {dir + "/photo.png"});
    }
    QList<QByteArray> tilesAtOne;
    for (qsizetype i = 0; i < scales.size(); ++i) {
        const char *scale = scales[i];
        const QString dir = m_dir->filePath(QStringLiteral("scale-%1").arg(scale));
        QProcess &process = *probes[size_t(i)];
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        const double ratio = QByteArray(scale).toDouble();
        QVERIFY2(process.readAllStandardOutput().contains("ratio=" + QByteArray(scale)), scale);

        QList<QByteArray> tiles;
        for (int k = 1; k <= 8; ++k)
            tiles << readBytes(dir + QStringLiteral("/%1.jpg").arg(k));
        if (tilesAtOne.isEmpty())
            tilesAtOne = tiles;
        QVERIFY2(tiles == tilesAtOne, scale); // the same bytes at every scale

        // The screen shows the picture stretched at its own device pixels.
        const QImage shown = QImage(dir + "/preview.png").convertToFormat(QImage::Format_RGB32);
        const QSize device(qRound(396 * ratio), qRound(196 * ratio));
        QCOMPARE(shown.size(), device);
        const QImage stretched = original
                                     .scaled(qRound(400 * ratio), qRound(200 * ratio),
                                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                     .copy(QRect(QPoint(0, 0), device));
        QVERIFY2(maxChannelDifference(shown, stretched) <= 8, scale);
    }
}
