#include "skin/skinfile.h"

#include <algorithm>
#include <lzma.h>
#include <stdexcept>

namespace tk {

namespace {

constexpr std::uint8_t Magic[4] = {0x2E, 0x53, 0x48, 0x45};
constexpr std::uint8_t Format[2] = {0x00, 0x03};
// lc 3, lp 0, pb 2, then the dictionary size 8 MiB, little-endian.
constexpr std::uint8_t Properties[5] = {0x5D, 0x00, 0x00, 0x80, 0x00};
constexpr std::uint32_t DictionarySize = 8u * 1024 * 1024;

bool startsWith(const std::uint8_t *data, const std::uint8_t *expected, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        if (data[i] != expected[i])
            return false;
    }
    return true;
}

lzma_options_lzma lzmaOptions(std::uint32_t unpackedSize, std::uint32_t dictionarySize)
{
    lzma_options_lzma options{};
    lzma_lzma_preset(&options, 9 | LZMA_PRESET_EXTREME);
    options.dict_size = dictionarySize;
    options.lc = 3;
    options.lp = 0;
    options.pb = 2;
    // No end marker either way: the size alone tells where the stream stops.
    options.ext_flags = 0;
    lzma_set_ext_size(options, unpackedSize);
    return options;
}

struct Stream {
    lzma_stream s = LZMA_STREAM_INIT;
    ~Stream() { lzma_end(&s); }
};

} // namespace

SkinFault unpackSkin(const std::uint8_t *data, std::size_t size, QByteArray &content)
{
    content.clear();
    if (size < std::size_t(SkinHeaderSize))
        return SkinFault::TooShort;
    if (!startsWith(data, Magic, sizeof Magic))
        return SkinFault::Magic;
    if (!startsWith(data + 4, Format, sizeof Format))
        return SkinFault::Format;
    const std::uint32_t unpacked = std::uint32_t(data[6]) | std::uint32_t(data[7]) << 8 |
                                   std::uint32_t(data[8]) << 16 | std::uint32_t(data[9]) << 24;
    if (unpacked == 0 || unpacked > SkinMaxUnpacked)
        return SkinFault::Size;
    if (!startsWith(data + 10, Properties, sizeof Properties))
        return SkinFault::Properties;

    // No match can reach further back than the content is long, so a dictionary of
    // that size decodes the same stream with less memory than the declared 8 MiB.
    lzma_options_lzma options =
        lzmaOptions(unpacked, std::max<std::uint32_t>(unpacked, LZMA_DICT_SIZE_MIN));
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Stream stream;
    if (lzma_raw_decoder(&stream.s, filters) != LZMA_OK)
        return SkinFault::Stream;

    QByteArray out(qsizetype(unpacked), Qt::Uninitialized);
    stream.s.next_in = data + SkinHeaderSize;
    stream.s.avail_in = size - std::size_t(SkinHeaderSize);
    stream.s.next_out = reinterpret_cast<std::uint8_t *>(out.data());
    stream.s.avail_out = std::size_t(unpacked);
    const lzma_ret ret = lzma_code(&stream.s, LZMA_FINISH);
    if (ret != LZMA_STREAM_END || stream.s.avail_out != 0 || stream.s.avail_in != 0)
        return SkinFault::Stream;
    content = out;
    return SkinFault::None;
}

QByteArray packSkin(const QByteArray &content)
{
    if (content.isEmpty() || std::size_t(content.size()) > SkinMaxUnpacked)
        throw std::runtime_error("skin content is empty or too large");
    const auto unpacked = std::uint32_t(content.size());
    lzma_options_lzma options = lzmaOptions(unpacked, DictionarySize);
    const lzma_filter filters[] = {{LZMA_FILTER_LZMA1EXT, &options}, {LZMA_VLI_UNKNOWN, nullptr}};
    Stream stream;
    if (lzma_raw_encoder(&stream.s, filters) != LZMA_OK)
        throw std::runtime_error("LZMA encoder refused its options");

    QByteArray file;
    file.append(reinterpret_cast<const char *>(Magic), sizeof Magic);
    file.append(reinterpret_cast<const char *>(Format), sizeof Format);
    for (int shift = 0; shift < 32; shift += 8)
        file.append(char((unpacked >> shift) & 0xFFu));
    file.append(reinterpret_cast<const char *>(Properties), sizeof Properties);

    // LZMA can grow incompressible input slightly; this bound is generous.
    QByteArray packed(content.size() + content.size() / 2 + 1024, Qt::Uninitialized);
    stream.s.next_in = reinterpret_cast<const std::uint8_t *>(content.constData());
    stream.s.avail_in = std::size_t(content.size());
    stream.s.next_out = reinterpret_cast<std::uint8_t *>(packed.data());
    stream.s.avail_out = std::size_t(packed.size());
    if (lzma_code(&stream.s, LZMA_FINISH) != LZMA_STREAM_END)
        throw std::runtime_error("LZMA encoder failed");
    packed.truncate(qsizetype(stream.s.total_out));
    return file + packed;
}

} // namespace tk
