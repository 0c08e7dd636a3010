#include "core/picturereader.h"
#include "shell/form1.h"
#include "shell/platform/report.h"
#include "shell/platform/translations.h"
#include "shell/platform/windowsystem.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    if (const QString advice = tk::missingDisplayAdvice(QString::fromLocal8Bit(argv[0]));
        !advice.isEmpty()) {
        std::fputs(advice.toLocal8Bit().constData(), stderr);
        return 1;
    }
    QApplication app(argc, argv);
    tk::setUpPictureReading();
    tk::installChineseTranslations(app);
    tk::Form1 form;
    tk::guarded([&] { form.Form_Load(); });
    // A picture named on the command line ("Open with" in a file manager) is loaded as
    // if it had been chosen in the dialog, by its bytes: a name need not be valid text.
    // Qt has taken its own options out of argv by now.
    if (argc > 1)
        tk::guarded([&] { form.openPicture(QByteArray(argv[1])); });
    return app.exec();
}
