#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tk {

// The open-file dialog as a control: ShowOpen() leaves the chosen path in FileName,
// or leaves FileName as it was when the user cancels.
class CommonDialog {
public:
    explicit CommonDialog(QWidget *owner) : m_owner(owner) {}

    QString FileName;
    void ShowOpen();

private:
    QWidget *m_owner;
};

// The open-file dialog: the chosen file's full path, or an empty string on Cancel.
QString ShowOpenDialog(QWidget *parent);

// Tests stand in for the user: a set hook answers instead of the real dialog.
using OpenDialogHook = std::function<QString()>;
void setOpenDialogHook(OpenDialogHook hook);

} // namespace tk
