#pragma once

#include "options.h"

#include <QList>
#include <QString>

namespace tk {

// One picture to cut: where its tiles go, or why it cannot be cut.
struct CutJob {
    QString picture;
    QString folder; // ends with its separator
    QString refusal;
};

// Gives every picture its own tile folder, so no two pictures write the same path:
// beside the picture, or in --out; pictures that would share a folder get a subfolder
// named after each. A picture is refused when one of its tiles would replace one of
// the input pictures. The same picture named twice is cut once.
QList<CutJob> planCuts(const CutOptions &options);

} // namespace tk
