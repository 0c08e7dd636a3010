#include "shell/platform/messages.h"

#include "shell/platform/filelistproxy.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace tk {

namespace {

MsgBoxHook &msgBoxHook()
{
    static MsgBoxHook hook;
    return hook;
}

OpenDialogHook &openDialogHook()
{
    static OpenDialogHook hook;
    return hook;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case vbCritical:
        return QMessageBox::Critical;
    case vbExclamation:
        return QMessageBox::Warning;
    case vbInformation:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// OK (and Cancel) in Chinese, whatever translation Qt has.
void labelButtons(QMessageBox &box)
{
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    if (QAbstractButton *cancel = box.button(QMessageBox::Cancel))
        cancel->setText(QStringLiteral("取消"));
}

} // namespace

int MsgBox(const QString &prompt, int style, const QString &title, const QString &detail)
{
    if (msgBoxHook())
        return msgBoxHook()(Message{prompt, style, title, detail});
    const bool withCancel = (style & 0x0F) == vbOKCancel;
    QMessageBox box(iconOf(style), title, prompt,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
                    QApplication::activeWindow());
    if (!detail.isEmpty())
        box.setDetailedText(detail);
    labelButtons(box);
    return box.exec() == QMessageBox::Ok ? vbOK : vbCancel;
}

void MsgBoxModeless(const QString &prompt, int style, const QString &title, QWidget *parent)
{
    if (msgBoxHook()) {
        msgBoxHook()(Message{prompt, style, title, QString()});
        return;
    }
    auto *box = new QMessageBox(iconOf(style), title, prompt, QMessageBox::Ok, parent);
    labelButtons(*box);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
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

void setMsgBoxHook(MsgBoxHook hook)
{
    msgBoxHook() = std::move(hook);
}

void setOpenDialogHook(OpenDialogHook hook)
{
    openDialogHook() = std::move(hook);
}

} // namespace tk
