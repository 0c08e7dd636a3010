// The skin file reader of the skinning library: any bytes, never a crash, never more
// work than the declared size allows, and a success delivers exactly that size.
#include "skin/skinfile.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray content;
    if (tk::unpackSkin(data, size, content) == tk::SkinFault::None) {
        const std::uint32_t declared = std::uint32_t(data[6]) | std::uint32_t(data[7]) << 8 |
                                       std::uint32_t(data[8]) << 16 | std::uint32_t(data[9]) << 24;
        if (std::uint32_t(content.size()) != declared || declared > tk::SkinMaxUnpacked)
            std::abort();
    } else if (!content.isEmpty()) {
        std::abort();
    }
    return 0;
}
