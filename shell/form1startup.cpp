// Form1's start-up and shutdown.
#include "core/companionfiles.h"
#include "shell/form1.h"
#include "shell/form1texts.h"
#include "shell/platform/app.h"
#include "shell/platform/controls.h"
#include "shell/platform/end.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"
#include "shell/platform/report.h"
#include "shell/platform/resdata.h"
#include "shell/platform/skinlibrary.h"
#include "shell/update.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

namespace tk {

void Form1::Form_Load()
{
    // Written into the program's folder (or, where that cannot be written, the user's
    // data folder), each only when missing; the skin is taken from where they are.
    const CompanionOutcome files = writeCompanionFiles(App::Path(), App::DataPath(), LoadResData);
    if (!files.failure.isEmpty())
        std::fprintf(stderr, "%s\n", files.failure.toLocal8Bit().constData());
    m_skin = std::make_unique<SkinLibrary>(files.folder);
    m_skin->SkinH_AttachEx(skinFilePath(files.folder), QString());
    m_skin->SkinH_SetAero(this);

    layOutAtLoad();
    // The preview is first in the tab order, so it has the keyboard when the window opens.
    p1->setFocus();
    centreIn(this, (screen() ? screen() : QGuiApplication::primaryScreen())->availableGeometry());
    show();
    // Once, over the window, and without waiting for the user: the start goes on.
    if (!files.failure.isEmpty())
        MsgBoxModeless(files.failure, vbExclamation, warningTitle(), this);

    GuangGao();
}

void Form1::Form_Unload(int &Cancel)
{
    Cancel = -1;
    // The program ends in a moment: the update window asks nothing more meanwhile.
    if (m_update)
        m_update->Timer1->stop();
    GuangGao();
    End();
}

void Form1::closeEvent(QCloseEvent *event)
{
    int Cancel = 0;
    guarded([&] { Form_Unload(Cancel); });
    if (Cancel)
        event->ignore();
    else
        event->accept();
}

} // namespace tk
