#include "shell/platform/translations.h"

#include "core/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tk {

namespace {

void install(QCoreApplication &app, QTranslator *translator, bool loaded)
{
    if (loaded)
        app.installTranslator(translator);
    else
        delete translator;
}

} // namespace

void installTranslations(QCoreApplication &app)
{
    const LanguageChoice choice = chooseLanguage(localeSettings());
    // Qt's own texts are English already; its sizes and dates follow the chosen English.
    if (choice.language == Language::English && installEnglishTexts(app)) {
        QLocale::setDefault(QLocale(choice.locale));
        return;
    }
    installChineseTranslations(app);
}

void installChineseTranslations(QCoreApplication &app)
{
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    // Whatever the desktop's language: sizes, dates and file types follow this too.
    QLocale::setDefault(chinese);
    // The translator installed last is asked first: Qt's own, then what it lacks.
    auto *supplement = new QTranslator(&app);
    install(app, supplement, supplement->load(QStringLiteral(":/i18n/qt_supplement_zh_CN.qm")));
    auto *qt = new QTranslator(&app);
    install(app, qt,
            qt->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
}

} // namespace tk
