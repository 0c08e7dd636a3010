#pragma once

#include <QString>

namespace tk {

// The HEIF and TIFF libraries are opened the first time a picture needs them, not at
// every start: with the codecs they bring, loading them costs each run of the cutter
// some 12 ms, and most runs read JPEGs only. Both throw tk::Error naming `format` when
// the library or a function of it is missing.
void *codecLibrary(const char *soname, const QString &format);
void *codecFunction(void *library, const char *name, const QString &format);

} // namespace tk

// A table of a library's functions from a list macro: TK_CODEC_MEMBER declares one,
// TK_CODEC_RESOLVE fills it in `table` from `library`, the table of its format.
#define TK_CODEC_MEMBER(name) decltype(&::name) name = nullptr;
#define TK_CODEC_RESOLVE(name)                                                                     \
    table.name = reinterpret_cast<decltype(table.name)>(tk::codecFunction(library, #name, format));
