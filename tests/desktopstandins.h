#pragma once

#include "shell/platform/messages.h"

#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace tk {
class Form1;
}

// What stands in for the desktop and the user in the window tests.
namespace testsupport {

// While it lives, the user and the desktop: every message box, open dialog, browser
// hand-off, connectivity test, unhandled error and program end reaches it instead of
// the screen, the browser or the process's exit. It answers as told and writes down
// what the program did; going, it puts every hook back.
class DesktopRecorder {
public:
    DesktopRecorder();
    ~DesktopRecorder();
    DesktopRecorder(const DesktopRecorder &) = delete;
    DesktopRecorder &operator=(const DesktopRecorder &) = delete;

    // The user's answers.
    int answer = tk::vbOK; // to every message box
    QString chosenFile;    // in the open dialog; empty is Cancel
    bool online = true;    // what the connectivity test finds
    // Runs while a box is up, before it is answered: what goes on behind a modal box.
    std::function<void(const tk::Message &)> whileShown;

    // What the program did.
    QList<tk::Message> messages; // every box, modal or not, in order
    QStringList opened;          // addresses handed to the browser, as the opener gets them
    QStringList unhandled;       // errors that reached the one report of unhandled errors
    int ends = 0;                // times the program ended

    QStringList prompts() const;
    QStringList titles() const;
    // Every prompt and unhandled error: what the user was told.
    QStringList said() const;

private:
    // Where the choices the program remembers go, instead of the user's settings.
    QTemporaryDir m_settings;
};

// The main window as the program makes it, in a program folder of its own (where the
// companion files go; empty: a new temporary folder), with the desktop stood in for.
// It is not loaded yet, so a test can watch the start; load() runs Form_Load. Going,
// the window goes before the stand-ins.
class WindowFixture {
public:
    explicit WindowFixture(const QString &programFolder = QString());
    ~WindowFixture();
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    void load();
    tk::Form1 &form() { return *m_form; }
    tk::Form1 *operator->() { return m_form.get(); }

    DesktopRecorder desktop;

private:
    QTemporaryDir m_folder;
    std::unique_ptr<tk::Form1> m_form;
};

// While it lives, the desktop's URL opener that the real hand-off starts (first on the
// PATH) is a script that writes down how many arguments it got and each of them.
class OpenerOnPath {
public:
    OpenerOnPath();
    ~OpenerOnPath();
    OpenerOnPath(const OpenerOnPath &) = delete;
    OpenerOnPath &operator=(const OpenerOnPath &) = delete;

    // What the opener got, "COUNT\nARG\n…", once a run has finished (it runs detached,
    // so wait for it); empty while none has.
    QByteArray record() const;

private:
    QTemporaryDir m_bin;
    QByteArray m_path;
};

// Puts every hook of the platform layer back to the real thing, and the program's
// folder back to the executable's.
void resetPlatformHooks();

} // namespace testsupport
