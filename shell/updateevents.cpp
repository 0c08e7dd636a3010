// The update window's behaviour: the load reads the version page, the ticks decide.
#include "shell/update.h"

#include "core/error.h"
#include "shell/platform/app.h"
#include "shell/platform/browser.h"
#include "shell/platform/buildsettings.h"
#include "shell/platform/colourkey.h"
#include "shell/platform/colours.h"
#include "shell/platform/connectivity.h"
#include "shell/platform/end.h"
#include "shell/platform/inet.h"
#include "shell/platform/messages.h"
#include "shell/platform/picturebox.h"
#include "update/versioncheck.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace tk {

namespace {

// Blue: painted as the background and cut out again, so only the bar and the status
// line are seen.
const quint32 TransparencyKey = 0x00FF0000;

} // namespace

bool Update::VersionFetched = false;

void Update::Show()
{
    if (m_loaded)
        show();
    else
        Form_Load();
}

void Update::Form_Load()
{
    m_loaded = true;
    try {
        setKeyBackground(this, vbColour(TransparencyKey));
        applyColourKey(this, vbColour(TransparencyKey));
        show();
        Picture2->setWidth(0);
        Text1->setText(ownVersionText(App::Major(), App::Minor(), App::Revision()));
        if (InternetGetConnectedState()) {
            const std::optional<QString> published =
                publishedVersion(Inet1->OpenURL(versionPageAddress()));
            if (!published)
                throw Error(tr("版本页上没有版本号"));
            Text2->setText(*published);
            VersionFetched = true;
        } else {
            Text2->clear();
            VersionFetched = false;
        }
        m_ticking = true;
    } catch (const std::exception &) {
        // A check that cannot be made closes the window without a word.
        Unload();
    }
}

void Update::Timer1_Timer()
{
    // To the front, but the keyboard stays where it is: raise, never activate.
    raise();
    Picture2->setWidth(Picture2->Width() + BarStep);
    const TickVerdict verdict =
        tickVerdict(Picture2->Width(), VersionFetched, Text1->text(), Text2->text());
    if (!verdict.status.isEmpty())
        setStatus(verdict.status);
    if (verdict.prompt)
        askToDownload();
    else if (verdict.close)
        Unload();
}

void Update::runTicks(int count)
{
    Timer1->stop();
    for (int k = 0; k < count; ++k)
        QMetaObject::invokeMethod(Timer1, "timeout", Qt::DirectConnection);
}

void Update::askToDownload()
{
    m_ticking = false;
    if (MsgBox(promptText(Text2->text()), vbOKCancel, promptTitle()) == vbOK) {
        openInBrowser(versionPageAddress());
        End();
        return;
    }
    Unload();
}

void Update::Unload()
{
    close();
}

void Update::closeEvent(QCloseEvent *event)
{
    m_ticking = false;
    m_unloaded = true;
    Timer1->stop();
    QWidget::closeEvent(event);
}

void Update::setStatus(const QString &caption)
{
    if (Label1->text() == caption)
        return;
    Label1->setText(caption);
    // Where the design font is missing, a fallback may draw the caption wider than the
    // label; it grows rather than cut the text short.
    if (const int needed = Label1->sizeHint().width(); needed > Label1->width())
        Label1->resize(needed, Label1->height());
    applyColourKey(this, vbColour(TransparencyKey));
}

} // namespace tk
