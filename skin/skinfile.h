#pragma once

#include <QByteArray>
#include <cstddef>
#include <cstdint>

namespace tk {

// The outer form of a skin file: ".SHE", the format field, the unpacked size
// (4 bytes, little-endian), five bytes of LZMA properties, then a raw LZMA stream
// without an end marker that unpacks to exactly that size.
constexpr int SkinHeaderSize = 15;
// Nothing we ship comes near this; it bounds what a hostile file can make us allocate.
constexpr std::uint32_t SkinMaxUnpacked = 4u * 1024 * 1024;

enum class SkinFault {
    None,
    TooShort,   // shorter than the header
    Magic,      // not ".SHE"
    Format,     // a format field we do not read
    Size,       // unpacked size of 0 or over SkinMaxUnpacked
    Properties, // LZMA properties other than ours
    Stream,     // the stream is truncated, corrupt, or has bytes after its end
};

// Unpacks `size` bytes of a skin file into `content`; on a fault `content` is left empty.
// The work done is bounded by the declared size, whatever the input.
SkinFault unpackSkin(const std::uint8_t *data, std::size_t size, QByteArray &content);
inline SkinFault unpackSkin(const QByteArray &file, QByteArray &content)
{
    return unpackSkin(reinterpret_cast<const std::uint8_t *>(file.constData()),
                      std::size_t(file.size()), content);
}

// The skin file holding `content`. Throws std::runtime_error when the encoder fails.
QByteArray packSkin(const QByteArray &content);

} // namespace tk
