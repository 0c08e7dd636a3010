#pragma once

#include <QString>

namespace bench {

// Writes the sample photos into `folder`, keeping any that already exist.
int generate(const QString &folder);

// Times intake and tile cutting for the picture at `path` and prints one line of
// key=value pairs.
int measure(const QString &path, int runs);

} // namespace bench
