#include "form1.h"
#include "report.h"
#include "translations.h"

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
    tk::installChineseTranslations(app);
    tk::Form1 form;
    tk::guarded([&] { form.Form_Load(); });
    // A picture named on the command line ("Open with" in a file manager) is loaded as
    // if it had been chosen in the dialog.
    if (const QStringList arguments = app.arguments(); arguments.size() > 1)
        tk::guarded([&] { form.openPicture(arguments.at(1)); });
    return app.exec();
}
