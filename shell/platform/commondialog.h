#pragma once

#include <QString>

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

} // namespace tk
