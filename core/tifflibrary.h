#pragma once

#include "core/codeclibrary.h"

#include <tiffio.h>

namespace tk {

// clang-format off
#define TK_TIFF_FUNCTIONS(F) \
    F(TIFFClientOpenExt) F(TIFFClose) F(TIFFComputeTile) F(TIFFGetField) \
    F(TIFFGetFieldDefaulted) F(TIFFGetStrileByteCount) F(TIFFGetStrileOffset) F(TIFFIsTiled) \
    F(TIFFNumberOfStrips) F(TIFFNumberOfTiles) F(TIFFOpenOptionsAlloc) F(TIFFOpenOptionsFree) \
    F(TIFFOpenOptionsSetErrorHandlerExtR) F(TIFFOpenOptionsSetMaxSingleMemAlloc) \
    F(TIFFOpenOptionsSetWarningHandlerExtR) F(TIFFRGBAImageBegin) F(TIFFRGBAImageEnd) \
    F(TIFFRGBAImageGet) F(TIFFRGBAImageOK) F(TIFFReadEncodedStrip) F(TIFFReadEncodedTile) \
    F(TIFFScanlineSize64) F(TIFFSetField) F(TIFFStripSize64) F(TIFFTileSize64)
// clang-format on

// The functions of libtiff we use, from the library opened when a TIFF is first read.
struct Tiff {
    TK_TIFF_FUNCTIONS(TK_CODEC_MEMBER)
};
const Tiff &tiff();

} // namespace tk
