// Form1's picture intake: the dialog, the drop, the command line, and dragging out.
#include "core/error.h"
#include "core/fileid.h"
#include "core/language.h"
#include "core/picturereader.h"
#include "core/regularfile.h"
#include "core/systemerror.h"
#include "intake/intake.h"
#include "shell/form1.h"
#include "shell/form1texts.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace tk {

namespace {

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
QByteArray firstDroppedFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    const QString path = urls.isEmpty() ? QString() : urls.first().toLocalFile();
    if (path.isEmpty())
        throw Error(Texts::tr("拖放的不是文件"));
    return QFile::encodeName(path);
}

} // namespace

void Form1::Command1_Click()
{
    loadPicture([this] {
        CommonDialog1.FileName.clear();
        CommonDialog1.ShowOpen();
        return QFile::encodeName(CommonDialog1.FileName);
    });
}

void Form1::p1_OLEDragDrop(const QMimeData *Data)
{
    loadPicture([Data] { return firstDroppedFile(Data); });
}

void Form1::openPicture(const QByteArray &F)
{
    loadPicture([&F] { return F; });
}

void Form1::loadPicture(const std::function<QByteArray()> &chooseFile)
{
    try {
        p1->setPicture(Picture());
        m_previewShowsFile = false;
        updateOverlay();
        const QByteArray F = chooseFile();
        if (F.isEmpty())
            return;
        loadSequence(F);
    } catch (const std::exception &e) {
        // The box keeps the design's text; the reason is there on request.
        MsgBox(tr("图片格式错误"), vbCritical, warningTitle(), messageOf(e));
        Picture1->setPicture(Picture());
    }
}

void Form1::loadSequence(const QByteArray &F)
{
    PictureReader reader(F, shownName(F));
    const qreal ratio = p1->devicePixelRatioF();
    const QImage shown = m_wall.fit == Fit::Crop
                             ? loadFittedIntoPreview(p1->canvas(), reader, ratio)
                             : loadIntoPreview(p1->canvas(), p1->Width(), p1->Height(), reader, ratio);
    if (!shown.isNull())
        p1->setDisplayImage(shown);
    p1->refresh();
    Picture1->setPicture(p1->Image());
    // The tiles are named as text; a folder whose name is none still shows its picture.
    const qsizetype slash = F.lastIndexOf('/');
    const QByteArray folder = F.left(slash + 1);
    ImageFolder = QFile::decodeName(folder);
    m_folderRefusal.clear();
    if (!isValidText(folder))
        m_folderRefusal = tr("文件夹名不是系统编码下的有效文字，无法在其中保存小图：“%1”")
                              .arg(printableName(F.left(slash)));
    m_loadedFile = F;
    m_loadedIdentity = identityOf(F);
    m_previewShowsFile = true;
    m_pictureSize = reader.size();
    m_wall.frame = QRectF();
    updateOverlay();
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

} // namespace tk
