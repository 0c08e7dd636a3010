#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace tk {

// Message-box styles, combined by adding: buttons (OK alone is 0) plus one icon.
enum MsgBoxStyle {
    vbOKCancel = 1,
    vbCritical = 16,
    vbExclamation = 48,
    vbInformation = 64,
};
constexpr int MsgBoxButtonMask = 0x0F;
constexpr int MsgBoxIconMask = 0x70;
// Answers.
enum MsgBoxResult { vbOK = 1, vbCancel = 2 };

// A message box as asked for: its text, style, title and the longer reason it can show
// on request (empty: none).
struct Message {
    QString prompt;
    int style = 0;
    QString title;
    QString detail;
};

// A modal message box; returns vbOK or vbCancel.
int MsgBox(const QString &prompt, int style, const QString &title,
           const QString &detail = QString());
// The same box with an OK button, shown over `parent` without waiting: the caller goes
// on at once and the box goes when the user closes it. A set hook takes it instead; its
// answer is not looked at.
void MsgBoxModeless(const QString &prompt, int style, const QString &title, QWidget *parent);

// Tests stand in for the user: a set hook answers instead of the real box.
// The hook sees every box, modal or not; a modeless box's answer is not looked at.
using MsgBoxHook = std::function<int(const Message &message)>;
void setMsgBoxHook(MsgBoxHook hook);

} // namespace tk
