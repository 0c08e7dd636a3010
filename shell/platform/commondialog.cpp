#include "shell/platform/commondialog.h"

#include "core/language.h"
#include "shell/platform/filelistproxy.h"

#include <QFileDialog>
#include <QStringList>

namespace tk {

namespace {

OpenDialogHook &openDialogHook()
{
    static OpenDialogHook hook;
    return hook;
}

// All files first and chosen, as the window has always listed them; the pictures it
// reads as the other choice.
QStringList openFilters()
{
    return {Texts::tr("所有文件 (*)"),
            Texts::tr("图片 (*.jpg *.jpeg *.jpe *.png *.gif *.bmp *.ico *.pbm *.pgm *.ppm *.xbm "
                      "*.xpm *.heic *.heif *.hif *.avif *.webp *.tif *.tiff)")};
}

} // namespace

void CommonDialog::ShowOpen()
{
    const QString chosen = ShowOpenDialog(m_owner, openFilters());
    if (!chosen.isEmpty())
        FileName = chosen;
}

QString ShowOpenDialog(QWidget *parent, const QStringList &filters)
{
    if (openDialogHook())
        return openDialogHook()();
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setProxyModel(new FileListProxy(&dialog));
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void setOpenDialogHook(OpenDialogHook hook)
{
    openDialogHook() = std::move(hook);
}

} // namespace tk
