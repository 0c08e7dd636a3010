#include "core/colour.h"

#include "core/colourformats.h"
#include "core/colourprofile.h"
#include "core/memorybudget.h"

#include <QColorSpace>

namespace tk {

namespace {

// The transform's tables (a 4-input table of 17⁴ points at most), the output
// profiles and the library's work space, whatever the picture.
constexpr qint64 FixedTransformBytes = qint64(4) << 20;
// What a profile takes once read: its tables widened to floating point, and copies.
constexpr int ProfileExpansion = 8;
// Any profile built from code points is a few curves.
constexpr qint64 BuiltProfileBytes = 64 << 10;
constexpr cmsUInt32Number Intent = INTENT_PERCEPTUAL;

struct TransformDeleter {
    void operator()(void *transform) const { cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

Transform transform(cmsHPROFILE source, cmsUInt32Number in, cmsHPROFILE target, cmsUInt32Number out,
                    cmsUInt32Number flags = 0)
{
    return Transform(cmsCreateTransform(source, in, target, out, Intent, flags));
}

bool isGrey(cmsHPROFILE profile)
{
    return cmsGetColorSpace(profile) == cmsSigGrayData;
}

void transformRows(cmsHTRANSFORM transform, const QImage &in, QImage &out)
{
    for (int y = 0; y < in.height(); ++y)
        cmsDoTransform(transform, in.constScanLine(y), out.scanLine(y),
                       cmsUInt32Number(in.width()));
}

// Without a profile: the inks' plain complement.
void plainCmykToRgb(QImage &image, bool inverted)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *pixel = image.scanLine(y);
        auto *out = reinterpret_cast<QRgb *>(pixel);
        for (int x = 0; x < image.width(); ++x, pixel += 4) {
            int c = pixel[0], m = pixel[1], ye = pixel[2], k = pixel[3];
            if (!inverted) {
                c = 255 - c, m = 255 - m, ye = 255 - ye, k = 255 - k;
            }
            out[x] = qRgb(k * c / 255, k * m / 255, k * ye / 255);
        }
    }
}

} // namespace

struct ColourConversion::State {
    ColourModel model = ColourModel::Rgb;
    Profile source;    // null: the numbers are taken as they are
    Profile greyAsRgb; // a grey source's greys, for grey samples in RGB images
    qint64 profileBytes = 0;
    bool plainCmyk = false;

    bool cmyk() const { return model == ColourModel::Cmyk || model == ColourModel::AdobeCmyk; }
    cmsHPROFILE rgbSource() const { return isGrey(source.get()) ? greyAsRgb.get() : source.get(); }
    QImage converted(QImage image) const;
    void convertCmyk(QImage &image) const;
    void convertTable(QImage &image) const;
    QImage convertGrey(QImage image) const;
    QImage convertRgb(QImage image) const;
};

ColourConversion::ColourConversion(const ColourDescription &colour, ColourModel model)
    : m(std::make_unique<State>())
{
    m->model = model;
    const QByteArray &icc = colour.iccProfile;
    cmsUInt32Number probe = TYPE_RGB_8;
    if (m->cmyk()) {
        m->source = iccProfile(icc, cmsSigCmykData);
        m->profileBytes = icc.size();
        if (!m->source) {
            m->source = iccProfile(defaultCmykIcc(), cmsSigCmykData);
            m->profileBytes = defaultCmykIcc().size();
        }
        probe = TYPE_CMYK_8;
    } else if (model == ColourModel::Grey && !icc.isEmpty()) {
        m->source = iccProfile(icc, cmsSigGrayData);
        m->profileBytes = icc.size();
        if (m->source && !isSrgb(m->source.get()))
            m->greyAsRgb = rgbOfGrey(m->source.get());
        else
            m->source.reset();
        probe = TYPE_GRAY_8;
    } else if (!icc.isEmpty()) {
        m->source = iccProfile(icc, cmsSigRgbData);
        m->profileBytes = icc.size();
        if (m->source && isSrgb(m->source.get()))
            m->source.reset();
    } else if (colour.hasCodePoints) {
        m->source = codePointProfile(colour.primaries, colour.transfer);
        m->profileBytes = BuiltProfileBytes;
    }
    // A profile Little CMS reads but cannot build a transform from is no better than none.
    if (m->source) {
        const Profile target = isGrey(m->source.get()) ? srgbGreyProfile() : srgbProfile();
        if (!transform(m->source.get(), probe, target.get(),
                       isGrey(m->source.get()) ? TYPE_GRAY_8 : TYPE_RGB_8,
                       cmsFLAGS_NOOPTIMIZE | cmsFLAGS_NOCACHE))
            m->source.reset();
    }
    m->plainCmyk = m->cmyk() && !m->source;
    if (!m->source)
        m->profileBytes = 0;
}

ColourConversion::~ColourConversion() = default;

bool ColourConversion::converts() const
{
    return m->source || m->plainCmyk;
}

QImage::Format ColourConversion::outputFormat(QImage::Format format) const
{
    if (!converts() || format <= QImage::Format_Invalid || format >= QImage::NImageFormats)
        return format;
    if (m->cmyk())
        return QImage::Format_RGB32;
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        return format;
    case QImage::Format_Grayscale8:
    case QImage::Format_Grayscale16:
        if (isGrey(m->source.get()))
            return QImage::Format_Grayscale8;
        break;
    default:
        break;
    }
    return eightBitFormat(workingFormat(format));
}

qint64 ColourConversion::peakBytes(QImage::Format format, QSize size) const
{
    if (!converts())
        return 0;
    const qint64 work = m->source ? FixedTransformBytes + ProfileExpansion * m->profileBytes : 0;
    const qint64 area = pixelArea(size);
    if (m->cmyk() || outputFormat(format) == format)
        return work;
    if (outputFormat(format) == QImage::Format_Grayscale8) // from 16-bit grey
        return work + area;
    const QImage::Format working = workingFormat(format);
    const qint64 widened = working == format ? 0 : area * (isDeep(working) ? 8 : 4);
    return work + widened + (isDeep(working) ? area * 4 : 0);
}

QImage ColourConversion::apply(QImage image) const
{
    if (!converts() || image.isNull())
        return image;
    QImage converted = m->converted(std::move(image));
    // The numbers are sRGB's now, whatever the decoder said of them.
    if (converted.colorSpace().isValid())
        converted.setColorSpace(QColorSpace());
    return converted;
}

QImage ColourConversion::State::converted(QImage image) const
{
    if (cmyk()) {
        if (image.format() == QImage::Format_RGB32)
            convertCmyk(image);
        return image;
    }
    if (image.colorCount() > 0) {
        convertTable(image);
        return image;
    }
    const bool greyImage =
        image.format() == QImage::Format_Grayscale8 || image.format() == QImage::Format_Grayscale16;
    if (greyImage && isGrey(source.get()))
        return convertGrey(std::move(image));
    return convertRgb(std::move(image));
}

void ColourConversion::State::convertCmyk(QImage &image) const
{
    if (plainCmyk) {
        plainCmykToRgb(image, model == ColourModel::AdobeCmyk);
        return;
    }
    const Profile target = srgbProfile();
    const Transform t =
        transform(source.get(), model == ColourModel::AdobeCmyk ? TYPE_CMYK_8_REV : TYPE_CMYK_8,
                  target.get(), Rgb32);
    if (!t)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        cmsDoTransform(t.get(), row, row, cmsUInt32Number(image.width()));
        // The ink K stays where alpha goes.
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

void ColourConversion::State::convertTable(QImage &image) const
{
    const Profile target = srgbProfile();
    const Transform t = rgbSource() ? transform(rgbSource(), Rgb32, target.get(), Rgb32) : nullptr;
    if (!t)
        return;
    QList<QRgb> table = image.colorTable();
    cmsDoTransform(t.get(), table.constData(), table.data(), cmsUInt32Number(table.size()));
    image.setColorTable(table);
}

QImage ColourConversion::State::convertGrey(QImage image) const
{
    const bool deep = image.format() == QImage::Format_Grayscale16;
    const Profile target = srgbGreyProfile();
    const Transform t =
        transform(source.get(), deep ? TYPE_GRAY_16 : TYPE_GRAY_8, target.get(), TYPE_GRAY_8);
    if (!t)
        return image;
    if (!deep) {
        transformRows(t.get(), image, image);
        return image;
    }
    QImage out(image.size(), QImage::Format_Grayscale8);
    if (!out.isNull())
        transformRows(t.get(), image, out);
    return out.isNull() ? image : out;
}

QImage ColourConversion::State::convertRgb(QImage image) const
{
    if (!rgbSource())
        return image;
    const QImage::Format working = workingFormat(image.format());
    if (image.format() != working)
        image = image.convertToFormat(working);
    const QImage::Format eightBit = eightBitFormat(working);
    const Profile target = srgbProfile();
    const Transform t = transform(rgbSource(), lcmsFormat(working), target.get(),
                                  lcmsFormat(eightBit), cmsFLAGS_COPY_ALPHA);
    if (!t)
        return image;
    if (working == eightBit) {
        transformRows(t.get(), image, image);
        return image;
    }
    QImage out(image.size(), eightBit);
    if (out.isNull())
        return image;
    transformRows(t.get(), image, out);
    return out;
}

} // namespace tk
