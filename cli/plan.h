#pragma once

#include "cli/options.h"

#include <QList>
#include <QString>

namespace tk {

// One picture to cut: where its tiles go, or why it cannot be cut.
struct CutJob {
    QByteArray picture; // opens the file
    QString shown;      // names it in reports, control characters escaped
    QString base;       // the folder chosen for it (--out or its own), links and all
    QString folder;     // `base` or a subfolder of it; ends with its separator
    QString refusal;
};

// Gives every picture a folder of its own, so no two pictures of a batch write the
// same path: beside the picture or in --out when it is the only one there, otherwise a
// subfolder named after it. Subfolder names are made safe (never ".", ".." or a path)
// and chosen free: not another picture's folder, not an existing file or link (to
// anything), not a folder where a tile would replace an input. A picture is refused
// when one of its tiles would replace an input. The same file named twice is cut once.
// Linear in the number of pictures.
QList<CutJob> planCuts(const CutOptions &options);

// A folder name made from a picture's name: no separators or control characters,
// never empty, ".", or "..", at most 200 bytes.
QString folderNameFor(const QString &name);

} // namespace tk
