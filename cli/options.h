#pragma once

#include "tiles/wall.h"

#include <QByteArrayList>
#include <QString>
#include <QStringList>

namespace tk {

// A picture named on the command line: its bytes open it, its text names folders
// after it (with U+FFFD where the bytes are not valid text).
struct PictureArgument {
    QByteArray native;
    QString text;
};

// What the command line asks for.
struct CutOptions {
    QList<PictureArgument> pictures;
    QString outDir; // empty: beside each picture
    Wall wall;
    bool quiet = false;
};

// The outcome of reading the command line: options, a request for help, or a usage
// error with its message.
struct ParsedCommandLine {
    enum Kind { Run, Help, UsageError } kind = Run;
    CutOptions options;
    QString message;
};

// `arguments` are the program's arguments as bytes, the program's name first.
ParsedCommandLine parseCommandLine(const QByteArrayList &arguments);
QString helpText();

} // namespace tk
