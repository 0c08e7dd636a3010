#include "core/picturereader.h"
#include "shell/form1.h"
#include "shell/platform/report.h"
#include "shell/platform/translations.h"
#include "shell/platform/windowsystem.h"
#include "shell/wallsettings.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (tk::displayMissing()) {
        // Enough of Qt to give the advice in the user's language; no window is made.
        QCoreApplication app(argc, argv);
        tk::installTranslations(app);
        const QString advice = tk::missingDisplayAdvice(QString::fromLocal8Bit(argv[0]));
        std::fputs(advice.toLocal8Bit().constData(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    tk::setUpPictureReading();
    tk::installTranslations(app);
    // Qt has taken its own options out of argv by now. What the rest choose holds for
    // this run only.
    QByteArrayList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    const tk::WindowArguments chosen = tk::readWindowArguments(arguments, tk::rememberedWall());
    if (!chosen.error.isEmpty()) {
        std::fprintf(stderr, "tesselkraft: %s\n", chosen.error.toLocal8Bit().constData());
        return 2;
    }
    tk::Form1 form;
    form.setWall(chosen.wall);
    tk::guarded([&] { form.Form_Load(); });
    // A picture named on the command line ("Open with" in a file manager) is loaded as
    // if it had been chosen in the dialog, by its bytes: a name need not be valid text.
    if (!chosen.file.isEmpty())
        tk::guarded([&] { form.openPicture(chosen.file); });
    return app.exec();
}
