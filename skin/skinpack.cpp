// Build tool: packs a style sheet into a skin file.
// Usage: skinpack STYLESHEET SKINFILE
#include "skin/skinfile.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>
#include <exception>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: skinpack STYLESHEET SKINFILE\n", stderr);
        return 2;
    }
    try {
        QFile source(QFile::decodeName(argv[1]));
        if (!source.open(QIODevice::ReadOnly))
            throw std::runtime_error(source.errorString().toStdString());
        const QByteArray content = source.readAll();
        const QByteArray skin = tk::packSkin(content);

        // A skin the reader refuses must fail the build, not the user's start.
        QByteArray back;
        if (tk::unpackSkin(skin, back) != tk::SkinFault::None || back != content)
            throw std::runtime_error("the packed skin does not unpack to its source");

        QSaveFile out(QFile::decodeName(argv[2]));
        if (!out.open(QIODevice::WriteOnly) || out.write(skin) != skin.size() || !out.commit())
            throw std::runtime_error(out.errorString().toStdString());
    } catch (const std::exception &e) {
        std::fprintf(stderr, "skinpack: %s\n", e.what());
        return 1;
    }
    return 0;
}
