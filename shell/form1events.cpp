// Form1's event handlers.
#include "ads/adpage.h"
#include "ads/module1.h"
#include "core/error.h"
#include "core/fileid.h"
#include "core/picturereader.h"
#include "core/regularfile.h"
#include "core/systemerror.h"
#include "intake/intake.h"
#include "shell/form1.h"
#include "shell/platform/browser.h"
#include "shell/platform/buildsettings.h"
#include "shell/platform/connectivity.h"
#include "shell/platform/inet.h"
#include "shell/platform/lineshape.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"
#include "shell/update.h"
#include "tiles/preview.h"
#include "tiles/tileexport.h"
#include "tiles/wall.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace tk {

namespace {

const QString NoPictureNotice = QStringLiteral("请先载入图片");
const QString NoticeTitle = QStringLiteral("通知:");
const QString WarningTitle = QStringLiteral("警告：");
constexpr int HighResolutionSide = 1080;

// The name as messages show it: as it is when it is valid text, else with escapes.
QString shownName(const QByteArray &nativePath)
{
    return isValidText(nativePath) ? QFile::decodeName(nativePath) : printableName(nativePath);
}

// The address of a local file; where its name is no text, the address keeps its bytes.
QUrl fileUrl(const QByteArray &nativePath)
{
    if (isValidText(nativePath))
        return QUrl::fromLocalFile(QFileInfo(QFile::decodeName(nativePath)).absoluteFilePath());
    QByteArray absolute = nativePath;
    if (!absolute.startsWith('/'))
        absolute.prepend(QFile::encodeName(QDir::currentPath()) + '/');
    // Latin-1 carries any byte through unchanged, so the path is cleaned as bytes.
    absolute = QDir::cleanPath(QString::fromLatin1(absolute)).toLatin1();
    return QUrl::fromEncoded("file://" + absolute.toPercentEncoding("/"));
}

// Only the first file of a drop counts; a drop without files is an error.
QString firstDroppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    const QString path = urls.isEmpty() ? QString() : urls.first().toLocalFile();
    if (path.isEmpty())
        throw Error(QStringLiteral("拖放的不是文件"));
    return path;
}

} // namespace

void Form1::Command1_Click()
{
    try {
        clearPreview();
        CommonDialog1.FileName.clear();
        CommonDialog1.ShowOpen();
        if (CommonDialog1.FileName.isEmpty())
            return;
        loadSequence(QFile::encodeName(CommonDialog1.FileName));
    } catch (const std::exception &) {
        loadFailed();
    }
}

void Form1::p1_OLEDragDrop(const QMimeData *Data)
{
    try {
        clearPreview();
        loadSequence(QFile::encodeName(firstDroppedFile(Data)));
    } catch (const std::exception &) {
        loadFailed();
    }
}

void Form1::clearPreview()
{
    p1->setPicture(Picture());
    m_previewShowsFile = false;
}

void Form1::loadSequence(const QByteArray &F)
{
    PictureReader reader(F, shownName(F));
    loadIntoPreview(p1->canvas(), p1->Width(), p1->Height(), reader);
    p1->refresh();
    showSharpPreview(F);
    Picture1->setPicture(p1->Image());
    // The tiles are named as text; a folder whose name is none still shows its picture.
    const qsizetype slash = F.lastIndexOf('/');
    const QByteArray folder = F.left(slash + 1);
    ImageFolder = QFile::decodeName(folder);
    m_folderRefusal.clear();
    if (!isValidText(folder))
        m_folderRefusal =
            QStringLiteral("文件夹名不是系统编码下的有效文字，无法在其中保存小图：“%1”")
                .arg(printableName(F.left(slash)));
    m_loadedFile = F;
    m_loadedIdentity = identityOf(F);
    m_previewShowsFile = true;
}

void Form1::showSharpPreview(const QByteArray &F)
{
    const qreal ratio = p1->devicePixelRatioF();
    if (qFuzzyCompare(ratio, 1.0))
        return;
    try {
        PictureReader reader(F, shownName(F));
        p1->setDisplayImage(previewRendering(reader, p1->Width(), p1->Height(), ratio));
    } catch (const Error &) {
        // The file changed under us; the preview as cut is shown, only less sharp.
    }
}

QMimeData *Form1::previewDragData() const
{
    if (!m_previewShowsFile)
        return nullptr;
    auto *data = new QMimeData;
    data->setImageData(p1->Image().image());
    if (isRegularFile(m_loadedFile))
        data->setUrls({fileUrl(m_loadedFile)});
    return data;
}

void Form1::loadFailed()
{
    MsgBox(QStringLiteral("图片格式错误"), vbCritical, WarningTitle);
    Picture1->setPicture(Picture());
}

void Form1::Command2_Click()
{
    runCut([this] {
        cutTiles(p1->Image().image(), QSizeF(p1->ScaleWidth(), p1->ScaleHeight()),
                 Picture1->canvas(), QSizeF(Picture1->Width(), Picture1->Height()), ImageFolder);
    });
}

void Form1::cutHighResolution()
{
    WallSpec wall;
    wall.size = HighResolutionSide;
    runCut([&] {
        PictureReader reader(m_loadedFile, shownName(m_loadedFile));
        cutWall(reader, ImageFolder, wall);
    });
}

void Form1::runCut(const std::function<void()> &cut)
{
    if (Picture1->picture().Handle() == 0) {
        MsgBox(NoPictureNotice, vbInformation, NoticeTitle);
        return;
    }
    if (!m_folderRefusal.isEmpty()) {
        MsgBox(m_folderRefusal, vbCritical, WarningTitle);
        return;
    }
    if (!mayOverwriteSource())
        return;
    try {
        cut();
    } catch (const Error &e) {
        // The tiles written so far stay; the program goes on.
        MsgBox(e.message(), vbCritical, WarningTitle);
        return;
    }
    MsgBox(QStringLiteral("图片已经切割完毕,在原图片文件夹下以1-8命名"), vbInformation,
           QStringLiteral("恭喜:"));
}

bool Form1::mayOverwriteSource()
{
    // The file as loaded (it may have been renamed since) and whatever now stands
    // under its name (an editor may have saved a new file there).
    const FileIdentity loaded = m_loadedIdentity, current = identityOf(m_loadedFile);
    for (const QString &path : tilePaths(ImageFolder)) {
        const FileIdentity tile = identityOf(path);
        if (tile == loaded || tile == current) {
            const QString question =
                QStringLiteral("“%1”就是正在切割的原图片，生成的图片会覆盖它。是否继续？")
                    .arg(path);
            return MsgBox(question, vbOKCancel + vbExclamation, QStringLiteral("覆盖提示：")) ==
                   vbOK;
        }
    }
    return true;
}

void Form1::Check2_Click()
{
    const int value = Check2->isChecked() ? 1 : 0;
    switch (previewAction(Picture1->picture().Handle() != 0, value)) {
    case PreviewAction::ShowLines:
    case PreviewAction::HideLines: {
        const bool show = value == 1;
        for (LineShape *line : {Line1, Line2, Line3, Line4})
            line->setVisible(show);
        break;
    }
    case PreviewAction::RefuseAndUntick:
        MsgBox(NoPictureNotice, vbInformation, NoticeTitle);
        Check2->setChecked(false);
        break;
    case PreviewAction::Nothing:
        break;
    }
}

void Form1::Command3_Click()
{
    if (!m_update || m_update->isUnloaded()) {
        m_update = new Update;
        m_update->stayAbove(this);
    }
    m_update->Show();
}

void Form1::GuangGao()
{
    const QString address = adPageAddress();
    if (address.isEmpty() || !InternetGetConnectedState())
        return;
    try {
        const QByteArray page = Inet1->OpenURL(address, AsBytes);
        const QStringList links =
            adsToOpen(linksToOpen(parseAdPage(DecodeUtf8(page))), m_adsOpened);
        // Each address goes to the browser on its own; one that fails stops no other.
        for (const QString &link : links) {
            m_adsOpened << link;
            openInBrowser(link);
        }
    } catch (const std::exception &) {
        // A page that cannot be read opens nothing, without a word.
    }
}

} // namespace tk
