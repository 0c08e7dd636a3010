#include "shell/platform/messages.h"

#include "core/language.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace tk {

namespace {

MsgBoxHook &msgBoxHook()
{
    static MsgBoxHook hook;
    return hook;
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & MsgBoxIconMask) {
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

// OK (and Cancel) in the program's words, whatever translation Qt has.
void labelButtons(QMessageBox &box)
{
    box.button(QMessageBox::Ok)->setText(Texts::tr("确定"));
    if (QAbstractButton *cancel = box.button(QMessageBox::Cancel))
        cancel->setText(Texts::tr("取消"));
}

} // namespace

int MsgBox(const QString &prompt, int style, const QString &title, const QString &detail)
{
    if (msgBoxHook())
        return msgBoxHook()(Message{prompt, style, title, detail});
    const bool withCancel = (style & MsgBoxButtonMask) == vbOKCancel;
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

void setMsgBoxHook(MsgBoxHook hook)
{
    msgBoxHook() = std::move(hook);
}

} // namespace tk
