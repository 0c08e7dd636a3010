#pragma once

class QCoreApplication;

namespace tk {

// The program's language, chosen once at start-up whatever the desktop's: Qt's own
// dialogs and buttons speak Simplified Chinese like the rest of the program (with Qt's
// translations where installed, and the few texts they lack carried in the program),
// and sizes, dates and file types are written the Chinese way.
void installChineseTranslations(QCoreApplication &app);

} // namespace tk
