#include "desktopstandins.h"

#include "shell/form1.h"
#include "shell/platform/app.h"
#include "shell/platform/browser.h"
#include "shell/platform/connectivity.h"
#include "shell/platform/end.h"
#include "shell/platform/report.h"

#include <QFile>
#include <QSettings>

namespace testsupport {

DesktopRecorder::DesktopRecorder()
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    tk::setMsgBoxHook([this](const tk::Message &box) {
        messages << box;
        if (whileShown)
            whileShown(box);
        return answer;
    });
    tk::setOpenDialogHook([this] { return chosenFile; });
    tk::setBrowserHook([this](const QString &address) {
        opened << address;
        return true;
    });
    tk::setConnectivityHook([this] { return online; });
    tk::setUnhandledHook([this](const QString &message) { unhandled << message; });
    tk::setEndHook([this] { ++ends; });
}

DesktopRecorder::~DesktopRecorder()
{
    resetPlatformHooks();
}

QStringList DesktopRecorder::prompts() const
{
    QStringList result;
    for (const tk::Message &box : messages)
        result << box.prompt;
    return result;
}

QStringList DesktopRecorder::titles() const
{
    QStringList result;
    for (const tk::Message &box : messages)
        result << box.title;
    return result;
}

QStringList DesktopRecorder::said() const
{
    return prompts() + unhandled;
}

WindowFixture::WindowFixture(const QString &programFolder)
{
    tk::App::setPath(programFolder.isEmpty() ? m_folder.path() : programFolder);
    m_form = std::make_unique<tk::Form1>();
}

WindowFixture::~WindowFixture()
{
    m_form.reset();
}

void WindowFixture::load()
{
    m_form->Form_Load();
}

OpenerOnPath::OpenerOnPath() : m_path(qgetenv("PATH"))
{
    QFile opener(m_bin.filePath(QStringLiteral("xdg-open")));
    const QByteArray record = QFile::encodeName(m_bin.filePath(QStringLiteral("arguments")));
    // Written aside and renamed, so a half-written record is never read.
    const QByteArray script =
        "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" >\"$0.part\" && mv \"$0.part\" '" + record + "'\n";
    // Without it the desktop's real opener would start a browser.
    if (!opener.open(QIODevice::WriteOnly) || opener.write(script) != script.size() ||
        !opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        qFatal("cannot write the stand-in URL opener %s", qPrintable(opener.fileName()));
    opener.close();
    qputenv("PATH", QFile::encodeName(m_bin.path()) + ':' + m_path);
}

OpenerOnPath::~OpenerOnPath()
{
    qputenv("PATH", m_path);
}

QByteArray OpenerOnPath::record() const
{
    QFile file(m_bin.filePath(QStringLiteral("arguments")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void resetPlatformHooks()
{
    tk::setBrowserHook({});
    tk::setMsgBoxHook({});
    tk::setOpenDialogHook({});
    tk::setUnhandledHook({});
    tk::setConnectivityHook({});
    tk::setEndHook({});
    tk::App::setPath(QString());
}

} // namespace testsupport
