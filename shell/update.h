#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;

namespace tk {

class Inet;
class PictureBox;

// The update window: a borderless strip with a progress bar and a status line. Its
// load reads the version page; its ticks grow the bar and give the verdict. It never
// takes the keyboard from the main window and deletes itself once closed.
class Update : public QWidget {
    Q_OBJECT
public:
    explicit Update(QWidget *parent = nullptr);

    // Keeps the strip above the main window `window`, a window of its own all the same
    // (no owner); where the program can place no window on the screen (Wayland), the strip
    // is shown on `window` instead, in its middle. Call before the first Show.
    void stayAbove(QWidget *window);

    // Loads the window the first time (Form_Load); afterwards it only shows it again,
    // so an open window starts no second check.
    void Show();
    void Form_Load();
    void Timer1_Timer();
    // Tests step the clock: Timer1 stops and `count` of its time-outs are delivered at
    // once, each through the timer's own connection, so a tick runs only where the
    // timer's would (after a load that worked, not while the prompt is open, not after
    // closing or the end).
    void runTicks(int count);
    void Unload();
    bool isUnloaded() const { return m_unloaded; }

    PictureBox *Picture1;
    PictureBox *Picture2;
    Inet *Inet1;
    QLineEdit *Text2;
    QLineEdit *Text1;
    QTimer *Timer1;
    QLabel *Label1;

    // Program-wide: whether the last load read a version from the page.
    static bool VersionFetched;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setStatus(const QString &caption);
    void askToDownload();

    bool m_loaded = false;
    // Ticks count only after a load that worked, and not while the prompt is open.
    bool m_ticking = false;
    bool m_unloaded = false;
};

} // namespace tk
