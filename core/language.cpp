#include "core/language.h"

#include <QByteArrayList>
#include <QCoreApplication>
#include <QTranslator>

namespace tk {

namespace {

// "en_GB" of "en_GB.UTF-8@euro": the name without its character set and modifier.
QByteArray withoutCodeset(const QByteArray &entry)
{
    qsizetype end = 0;
    while (end < entry.size() && entry[end] != '.' && entry[end] != '@')
        ++end;
    return entry.left(end);
}

// "en" of "en_GB.UTF-8".
QByteArray languageOf(const QByteArray &entry)
{
    qsizetype end = 0;
    while (end < entry.size() && entry[end] != '_' && entry[end] != '-' && entry[end] != '.' &&
           entry[end] != '@')
        ++end;
    return entry.left(end).toLower();
}

// C and POSIX are the absence of a language, and so is C with a character set.
bool namesNoLanguage(const QByteArray &locale)
{
    return locale.isEmpty() || locale == "C" || locale == "POSIX" || locale.startsWith("C.");
}

} // namespace

LocaleSettings localeSettings()
{
    return {qgetenv("LANGUAGE"), qgetenv("LC_ALL"), qgetenv("LC_MESSAGES"), qgetenv("LANG")};
}

LanguageChoice chooseLanguage(const LocaleSettings &settings)
{
    QByteArray messages;
    for (const QByteArray *variable : {&settings.lcAll, &settings.lcMessages, &settings.lang}) {
        if (!variable->isEmpty()) {
            messages = *variable;
            break;
        }
    }
    QByteArrayList preferences;
    if (!namesNoLanguage(messages))
        preferences = settings.language.split(':');
    preferences << messages;
    for (const QByteArray &entry : preferences) {
        const QByteArray language = languageOf(entry);
        if (language == "zh")
            break;
        if (language == "en")
            return {Language::English, QString::fromLatin1(withoutCodeset(entry))};
    }
    return {};
}

bool installEnglishTexts(QCoreApplication &app)
{
    auto *english = new QTranslator(&app);
    if (english->load(QStringLiteral(":/i18n/tesselkraft_en.qm")) &&
        QCoreApplication::installTranslator(english))
        return true;
    delete english;
    return false;
}

} // namespace tk
