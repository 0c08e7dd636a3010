// Form1's event handlers.
#include "ads/adpage.h"
#include "ads/module1.h"
#include "core/error.h"
#include "core/fileid.h"
#include "core/picturereader.h"
#include "core/systemerror.h"
#include "shell/form1.h"
#include "shell/form1texts.h"
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
#include <QFile>

namespace tk {

namespace {

} // namespace

void Form1::Command2_Click()
{
    if (!m_wall.isDesignChoice()) {
        cutPicture(m_wall);
        return;
    }
    runCut(Wall(), [this] {
        cutTiles(p1->Image().image(), QSizeF(p1->ScaleWidth(), p1->ScaleHeight()),
                 Picture1->canvas(), QSizeF(Picture1->Width(), Picture1->Height()), ImageFolder);
    });
}

void Form1::runCut(const Wall &wall, const std::function<void()> &cut)
{
    if (Picture1->picture().Handle() == 0) {
        MsgBox(noPictureNotice(), vbInformation, noticeTitle());
        return;
    }
    if (!m_folderRefusal.isEmpty()) {
        MsgBox(m_folderRefusal, vbCritical, warningTitle());
        return;
    }
    if (!mayOverwriteSource(wall))
        return;
    try {
        cut();
    } catch (const Error &e) {
        // The tiles written so far stay; the program goes on.
        MsgBox(e.message(), vbCritical, warningTitle());
        return;
    }
    MsgBox(tr("图片已经切割完毕,在原图片文件夹下以1-%1命名").arg(wall.tileCount()), vbInformation,
           tr("恭喜:"));
}

bool Form1::mayOverwriteSource(const Wall &wall)
{
    // The file as loaded (it may have been renamed since) and whatever now stands
    // under its name (an editor may have saved a new file there).
    const QString path = firstReplacing(wallTilePaths(ImageFolder, wall),
                                        {m_loadedIdentity, identityOf(m_loadedFile)});
    if (path.isEmpty())
        return true;
    const QString question =
        tr("“%1”就是正在切割的原图片，生成的图片会覆盖它。是否继续？").arg(path);
    return MsgBox(question, vbOKCancel + vbExclamation, tr("覆盖提示：")) == vbOK;
}

void Form1::Check2_Click()
{
    const int value = Check2->isChecked() ? 1 : 0;
    switch (previewAction(Picture1->picture().Handle() != 0, value)) {
    case PreviewAction::ShowLines:
    case PreviewAction::HideLines:
        m_linesShown = value == 1;
        applyCutLines();
        break;
    case PreviewAction::RefuseAndUntick:
        MsgBox(noPictureNotice(), vbInformation, noticeTitle());
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
