#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace tk {

// A file the program carries as a numbered resource and writes beside itself.
struct CompanionFile {
    int number;
    const char *name; // UTF-8
};

// In the order they are written: the skinning library, its skin, then the documents.
extern const std::array<CompanionFile, 6> CompanionFiles;
constexpr const char *SkinLibraryName = "VeskoSkin.dll";
constexpr const char *SkinFileName = "Vesko.Skin";

// The library's path in `folder`, and the skin's path as handed to the library: the folder
// as reported plus "/Vesko.Skin", so a root folder gives "//Vesko.Skin" (the same file).
QString skinLibraryPath(const QString &folder);
QString skinFilePath(const QString &folder);

struct CompanionOutcome {
    QString folder;      // where all six files now stand, as passed in; empty if nowhere
    QStringList written; // the paths written this time, in order
    QString failure;     // why neither folder could take them; empty otherwise
};

// Writes each companion file that is missing from `programFolder`, in order, from
// `resource(number)`; a file that exists is never touched. When a file cannot be written
// there, the same is done in `dataFolder` (created if needed), and that folder is the
// outcome. Files are written whole or not at all. Errors of `resource` propagate.
CompanionOutcome writeCompanionFiles(const QString &programFolder, const QString &dataFolder,
                                     const std::function<QByteArray(int)> &resource);

} // namespace tk
