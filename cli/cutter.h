#pragma once

#include <QByteArrayList>

class QTextStream;

namespace tk {

// The whole cutter: reads the command line (the program's arguments as bytes, its
// name first), cuts every picture (several at once on several cores, as far as the
// picture budget allows) and reports: one line per picture on `out` unless quiet,
// exactly one line per bad picture on `err`. Returns the exit status: 0 when every
// picture was cut and reported, 1 when one failed (the others are still cut) or a
// report could not be written, 2 for a usage error.
int runCutter(const QByteArrayList &arguments, QTextStream &out, QTextStream &err);

} // namespace tk
