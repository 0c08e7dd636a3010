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
    form.Form_Load();
    return app.exec();
}
