#pragma once

class QCoreApplication;

namespace tk {

// The program's language, chosen once at start-up from the desktop's (chooseLanguage):
// English where the user prefers it, Chinese otherwise. Qt's own dialogs, buttons,
// sizes and dates speak the same language as the rest of the program.
void installTranslations(QCoreApplication &app);

// Chinese whatever the desktop's language: Qt's own texts too (with Qt's translations
// where installed, and the few texts they lack carried in the program), and sizes,
// dates and file types are written the Chinese way.
void installChineseTranslations(QCoreApplication &app);

} // namespace tk
