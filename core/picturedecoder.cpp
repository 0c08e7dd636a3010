#include "core/picturedecoder.h"

#include "core/language.h"

#include "core/heifdecoder.h"
#include "core/tiffdecoder.h"
#include "core/webpdecoder.h"

namespace tk {

namespace {

// An ISO media file whose first brand is a still or sequence of HEVC or AV1 pictures.
bool isHeif(const QByteArray &magic)
{
    if (magic.mid(4, 4) != "ftyp")
        return false;
    static const char *const Brands[] = {"heic", "heix", "heim", "heis", "hevc",
                                         "hevx", "mif1", "msf1", "avif", "avis"};
    const QByteArray brand = magic.mid(8, 4);
    for (const char *known : Brands)
        if (brand == known)
            return true;
    return false;
}

} // namespace

QSize PictureDecoder::stepFor(QSize wanted) const
{
    for (const QSize &step : decodeSizes())
        if (step.width() >= wanted.width() && step.height() >= wanted.height())
            return step;
    return size();
}

std::unique_ptr<PictureDecoder> openPictureDecoder(QIODevice &device, const QByteArray &magic)
{
    if (isHeif(magic))
        return std::make_unique<HeifDecoder>(device);
    if (magic.startsWith("RIFF") && magic.mid(8, 4) == "WEBP")
        return std::make_unique<WebpDecoder>(device);
    if (magic.startsWith("II*\0") || magic.startsWith("MM\0*") || magic.startsWith("II+\0") ||
        magic.startsWith("MM\0+"))
        return std::make_unique<TiffDecoder>(device);
    return nullptr;
}

namespace {

constexpr int Halvings[] = {8, 4, 2, 1};

QSize divided(QSize full, int factor)
{
    return QSize((full.width() + factor - 1) / factor, (full.height() + factor - 1) / factor);
}

} // namespace

QList<QSize> halvedSizes(QSize full)
{
    QList<QSize> sizes;
    for (const int factor : Halvings) {
        const QSize step = divided(full, factor);
        if (sizes.isEmpty() || sizes.last() != step)
            sizes << step;
    }
    return sizes;
}

int halvingFor(QSize full, QSize step)
{
    for (const int factor : Halvings)
        if (divided(full, factor) == step)
            return factor;
    return 1;
}

QString truncatedReason()
{
    return Texts::tr("文件不完整");
}

QString outOfMemoryReason()
{
    return Texts::tr("图片太大，超出内存上限");
}

QString corruptReason()
{
    return Texts::tr("图片数据损坏");
}

} // namespace tk
