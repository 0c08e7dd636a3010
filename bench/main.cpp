#include "bench.h"

#include "core/picturereader.h"
#include "tiles/picturecut.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace {

int usage()
{
    std::fputs("usage: tk_bench generate DIR\n"
               "       tk_bench measure PATH [--runs N]\n"
               "       tk_bench decode PATH [--runs N]\n"
               "       tk_bench hostile DIR BATCH\n"
               "       tk_bench plan OUT PICTURE...\n"
               "       tk_bench regions COLUMNSxROWS\n",
               stderr);
    return 2;
}

// What each tile of a wall shows, one "x y width height" line of picture fractions a tile,
// for the scripts that cut the same regions with other tools.
int printRegions(const QString &grid)
{
    const QStringList sides = grid.split(QLatin1Char('x'));
    const int columns = sides.value(0).toInt(), rows = sides.value(1).toInt();
    if (sides.size() != 2 || columns < 1 || rows < 1)
        return usage();
    for (const QRectF &r : tk::wallRegions(columns, rows))
        std::printf("%.17g %.17g %.17g %.17g\n", r.x(), r.y(), r.width(), r.height());
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    // The image plugins are found through the application's library paths.
    QCoreApplication app(argc, argv);
    tk::setUpPictureReading();
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 2 && args[0] == QLatin1String("generate"))
        return bench::generate(args[1]);
    if (args.size() == 3 && args[0] == QLatin1String("hostile"))
        return bench::generateHostile(args[1], args[2].toInt());
    if (args.size() == 2 && args[0] == QLatin1String("regions"))
        return printRegions(args[1]);
    if (args.size() >= 3 && args[0] == QLatin1String("plan"))
        return bench::timePlanning(args.mid(2), args[1]);
    if (args.size() >= 2 &&
        (args[0] == QLatin1String("measure") || args[0] == QLatin1String("decode"))) {
        int runs = 9;
        if (args.size() == 4 && args[2] == QLatin1String("--runs")) {
            bool ok = false;
            runs = args[3].toInt(&ok);
            if (!ok || runs < 1)
                return usage();
        } else if (args.size() != 2) {
            return usage();
        }
        return args[0] == QLatin1String("decode") ? bench::measureDecode(args[1], runs)
                                                  : bench::measure(args[1], runs);
    }
    return usage();
}
