#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace tk {

// The translation context of every text outside a window class: Texts::tr("…") marks
// a Chinese text for lupdate and gives it in the user's language. Window classes use
// their own tr().
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(Tesselkraft)
};

// The languages the program speaks: Chinese, the language every text is written in,
// and English, from its translation.
enum class Language { Chinese, English };

// The desktop's language settings as the environment gives them; unset and empty alike.
struct LocaleSettings {
    QByteArray language; // LANGUAGE: preferences separated by colons, "en_GB:en:zh_CN"
    QByteArray lcAll, lcMessages, lang;
};

// This process's settings.
LocaleSettings localeSettings();

struct LanguageChoice {
    Language language = Language::Chinese;
    // The English preference that chose English ("en_GB"), for numbers, sizes and dates.
    QString locale;
};

// English when an English preference comes before any Chinese one, Chinese otherwise.
// The preferences are LANGUAGE's entries, then the messages locale (the first set of
// LC_ALL, LC_MESSAGES, LANG). As in gettext, LANGUAGE counts only when the messages
// locale is set and is not C or POSIX; C.UTF-8, which names no language either, counts
// as C. Whether a locale is installed plays no part.
LanguageChoice chooseLanguage(const LocaleSettings &settings);

// Gives `app` the program's English texts; false when they cannot be loaded.
bool installEnglishTexts(QCoreApplication &app);

} // namespace tk
