#pragma once

#include "tiles/wall.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>

namespace tk {

// The wall chosen last (grid, fit, tile size), remembered between starts; the design's
// wall when none is remembered, and for any part that is no longer valid.
Wall rememberedWall();
void rememberWall(const Wall &wall);

// The window's command line: `tesselkraft [--grid CxR] [--fit stretch|crop] [--size N]
// [FILE]`. The wall starts from `remembered`; what the options choose holds for this
// run only. Arguments stay bytes, so a name that is no text still opens its file.
struct WindowArguments {
    Wall wall;
    QByteArray file; // empty: none
    QString error;   // a usage error; empty: none
};
WindowArguments readWindowArguments(const QByteArrayList &arguments, const Wall &remembered);

} // namespace tk
