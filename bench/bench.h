#pragma once

#include <QString>
#include <vector>

namespace bench {

// A "Vm…:" figure of this process in kB ("VmHWM": the peak resident size), or -1.
long statusKb(const char *key);
// Lowers the recorded peak to the present resident size, so the next peak is what
// follows and not what start-up left.
void resetPeak();
double median(std::vector<double> values);

// Writes the sample photos into `folder`, keeping any that already exist.
int generate(const QString &folder);

// Times intake and tile cutting for the picture at `path` and prints one line of
// key=value pairs.
int measure(const QString &path, int runs);

// Times PictureReader's decode of the picture at `path` at full size and at the
// preview's size, with the peak memory of each and the reader's estimate of it, and
// prints one line of key=value pairs.
int measureDecode(const QString &path, int runs);

// Writes picture bombs, a heavy progressive photo and `batch` same-named pictures
// (batch/<i>/x.jpg) into `folder`.
int generateHostile(const QString &folder, int batch);

// Times the cutter's planning of `pictures` into `out` and prints it.
int timePlanning(const QStringList &pictures, const QString &out);

} // namespace bench
