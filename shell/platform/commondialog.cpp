#include "shell/platform/commondialog.h"

#include "shell/platform/filelistproxy.h"

#include <QFileDialog>

namespace tk {

namespace {

OpenDialogHook &openDialogHook()
{
    static OpenDialogHook hook;
    return hook;
}

} // namespace

void CommonDialog::ShowOpen()
{
    const QString chosen = ShowOpenDialog(m_owner);
    if (!chosen.isEmpty())
        FileName = chosen;
}

QString ShowOpenDialog(QWidget *parent)
{
    if (openDialogHook())
        return openDialogHook()();
    QFileDialog dialog(parent);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setProxyModel(new FileListProxy(&dialog));
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

void setOpenDialogHook(OpenDialogHook hook)
{
    openDialogHook() = std::move(hook);
}

} // namespace tk
