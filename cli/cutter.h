#pragma once

#include <QStringList>

class QTextStream;

namespace tk {

// The whole cutter: reads the command line, cuts every picture (several at once on
// several cores) and reports. Returns the exit status: 0 when every picture was cut,
// 1 when one failed (the others are still cut), 2 for a usage error.
int runCutter(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace tk
