#pragma once

#include <QString>

namespace tk {

// The running program: where it lives and which version it is.
class App {
public:
    // The executable's folder, without a trailing separator except for the root.
    static QString Path();
    // Puts the program's folder elsewhere (tests start the program in a folder of their
    // own); an empty path goes back to the executable's folder.
    static void setPath(const QString &folder);
    // Where the program keeps its own files when its folder cannot be written.
    static QString DataPath();
    // Three of the four numbers of 13.11.0.6: 13, 11 and the last one, 6.
    static int Major();
    static int Minor();
    static int Revision();
};

} // namespace tk
