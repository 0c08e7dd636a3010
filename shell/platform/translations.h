#pragma once

class QCoreApplication;

namespace tk {

// Qt's own dialogs and buttons speak Simplified Chinese, like the rest of the program,
// where the Chinese translations of Qt are installed.
void installChineseTranslations(QCoreApplication &app);

} // namespace tk
