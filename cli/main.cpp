#include "cutter.h"

#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    // No QCoreApplication: the cutter needs no event loop, and its start-up costs time.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = tk::runCutter(arguments, out, err);
    // Every tile is written and renamed by now; tearing Qt down would only cost time.
    out.flush();
    err.flush();
    std::fflush(nullptr);
    std::_Exit(status);
}
