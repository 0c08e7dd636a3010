#include "cli/cutter.h"
#include "cli/signals.h"
#include "cli/standarderror.h"
#include "core/language.h"
#include "core/picturereader.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// Qt's and the image readers' own warnings are not for the cutter's user: each bad
// picture gets exactly one line of ours.
void silent(QtMsgType, const QMessageLogContext &, const QString &) {}

// A report that could not be written is a failed run.
bool flushed(std::FILE *stream)
{
    return std::fflush(stream) == 0 && !std::ferror(stream);
}

} // namespace

int main(int argc, char *argv[])
{
    tk::stopCleanlyOnSignals();
    qInstallMessageHandler(silent);
    tk::setUpPictureReading();
    // Without a standard error to begin with, every report fails as it would have.
    QFile reports;
    if (const int fd = tk::keepStandardErrorForReports(); fd >= 0)
        reports.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered,
                     QFileDevice::AutoCloseHandle);
    // The arguments stay bytes, so a name that is not valid text still opens.
    QByteArrayList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    // The texts are written in Chinese. Only English needs an application object, to
    // hold its translation; the cutter needs no event loop, and its start-up costs time.
    std::unique_ptr<QCoreApplication> app;
    if (tk::chooseLanguage(tk::localeSettings()).language == tk::Language::English) {
        app = std::make_unique<QCoreApplication>(argc, argv);
        tk::installEnglishTexts(*app);
    }
    int status;
    {
        QTextStream out(stdout);
        QTextStream err(&reports);
        status = tk::runCutter(arguments, out, err);
        out.flush();
        err.flush();
        if (out.status() != QTextStream::Ok || err.status() != QTextStream::Ok)
            status = status ? status : 1;
    }
    if (!flushed(stdout))
        status = status ? status : 1;
    // Every tile is written and renamed by now; tearing Qt down would only cost time.
    std::_Exit(status);
}
