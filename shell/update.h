#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;

namespace tk {

class PictureBox;

// The update window: a borderless strip with a progress bar and a status line.
class Update : public QWidget {
    Q_OBJECT
public:
    explicit Update(QWidget *parent = nullptr);

    PictureBox *Picture1;
    PictureBox *Picture2;
    QLineEdit *Text2;
    QLineEdit *Text1;
    QTimer *Timer1;
    QLabel *Label1;
};

} // namespace tk
