#pragma once

#include "wall.h"

#include <QString>
#include <QStringList>

namespace tk {

// What the command line asks for.
struct CutOptions {
    QStringList pictures;
    QString outDir; // empty: beside each picture
    WallSpec wall;
    bool quiet = false;
};

// The outcome of reading the command line: options, a request for help, or a usage
// error with its message.
struct ParsedCommandLine {
    enum Kind { Run, Help, UsageError } kind = Run;
    CutOptions options;
    QString message;
};

ParsedCommandLine parseCommandLine(const QStringList &arguments);
QString helpText();

} // namespace tk
