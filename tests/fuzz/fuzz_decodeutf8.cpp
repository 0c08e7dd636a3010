// DecodeUtf8 always gives well-formed text, never longer than the bytes, empty only for
// no bytes, and gives back exactly the bytes it was given when they are well-formed.
#include "ads/module1.h"

#include <cstdint>
#include <cstdlib>

namespace {

// Well-formed UTF-8 after the Unicode standard's table of byte sequences.
bool wellFormed(const uint8_t *data, size_t size)
{
    for (size_t i = 0; i < size;) {
        const uint8_t lead = data[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        uint8_t low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF)
            length = 2;
        else if (lead == 0xE0)
            length = 3, low = 0xA0;
        else if (lead == 0xED)
            length = 3, high = 0x9F;
        else if (lead >= 0xE1 && lead <= 0xEF)
            length = 3;
        else if (lead == 0xF0)
            length = 4, low = 0x90;
        else if (lead == 0xF4)
            length = 4, high = 0x8F;
        else if (lead >= 0xF1 && lead <= 0xF3)
            length = 4;
        else
            return false;
        if (i + length > size || data[i + 1] < low || data[i + 1] > high)
            return false;
        for (size_t k = 2; k < length; ++k)
            if (data[i + k] < 0x80 || data[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = tk::DecodeUtf8(bytes);
    if (text.isEmpty() != (size == 0) || size_t(text.size()) > size)
        std::abort();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isLowSurrogate())
            std::abort();
        if (text.at(i).isHighSurrogate() && !(i + 1 < text.size() && text.at(++i).isLowSurrogate()))
            std::abort();
    }
    if (wellFormed(data, size) && text.toUtf8() != bytes)
        std::abort();
    return 0;
}
