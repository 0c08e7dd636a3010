#pragma once

#include <QString>
#include <QStringList>
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

// The open-file dialog offering `filters` (the first chosen): the chosen file's full
// path, or an empty string on Cancel.
QString ShowOpenDialog(QWidget *parent, const QStringList &filters = QStringList());

// Tests stand in for the user: a set hook answers instead of the real dialog.
using OpenDialogHook = std::function<QString()>;
void setOpenDialogHook(OpenDialogHook hook);

} // namespace tk
