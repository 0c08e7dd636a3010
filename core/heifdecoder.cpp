#include "core/heifdecoder.h"

#include "core/codeclibrary.h"
#include "core/error.h"
#include "core/picturedecoder.h"
#include "core/language.h"
#include "core/memorybudget.h"
#include "core/ycbcrreduction.h"

#include <QIODevice>
#include <libheif/heif.h>

namespace tk {

namespace {

// clang-format off
#define TK_HEIF_FUNCTIONS(F) \
    F(heif_context_alloc) F(heif_context_free) F(heif_context_get_primary_image_handle) \
    F(heif_context_read_from_reader) F(heif_context_set_maximum_image_size_limit) \
    F(heif_decode_image) F(heif_decoding_options_alloc) F(heif_decoding_options_free) \
    F(heif_image_get_bits_per_pixel_range) F(heif_image_get_height) \
    F(heif_image_get_nclx_color_profile) F(heif_image_get_plane) \
    F(heif_image_get_plane_readonly) F(heif_image_get_width) F(heif_image_handle_get_height) \
    F(heif_image_handle_get_ispe_height) F(heif_image_handle_get_ispe_width) \
    F(heif_image_handle_get_luma_bits_per_pixel) F(heif_image_handle_get_nclx_color_profile) \
    F(heif_image_handle_get_raw_color_profile) F(heif_image_handle_get_raw_color_profile_size) \
    F(heif_image_handle_get_width) F(heif_image_handle_has_alpha_channel) \
    F(heif_image_handle_release) F(heif_image_release) F(heif_init) \
    F(heif_nclx_color_profile_free)
// clang-format on

struct Heif {
    TK_HEIF_FUNCTIONS(TK_CODEC_MEMBER)
};

const Heif &heif()
{
    static const Heif functions = [] {
        const QString format = QStringLiteral("HEIF/AVIF");
        void *library = codecLibrary(TK_LIBHEIF, format);
        Heif table;
        TK_HEIF_FUNCTIONS(TK_CODEC_RESOLVE)
        return table;
    }();
    return functions;
}

// The largest side libheif takes from a file's header before we have judged it.
constexpr int HeaderSideLimit = 65535;
// What the codec keeps besides the planes it hands over, in samples a pixel.
constexpr qint64 CodecSamplesPerPixel = 3;
constexpr qint64 FixedWorkBytes = qint64(4) << 20;

int64_t position(void *device)
{
    return static_cast<QIODevice *>(device)->pos();
}

int readBytes(void *data, size_t size, void *device)
{
    auto *d = static_cast<QIODevice *>(device);
    return d->read(static_cast<char *>(data), qint64(size)) == qint64(size) ? 0 : -1;
}

int seekTo(int64_t position, void *device)
{
    return static_cast<QIODevice *>(device)->seek(position) ? 0 : -1;
}

heif_reader_grow_status waitForSize(int64_t size, void *device)
{
    return size <= static_cast<QIODevice *>(device)->size()
               ? heif_reader_grow_status_size_reached
               : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader DeviceReader = {1, position, readBytes, seekTo, waitForSize};

QString reasonOf(const heif_error &error)
{
    switch (error.code) {
    case heif_error_Invalid_input:
        if (error.subcode == heif_suberror_End_of_data)
            return truncatedReason();
        return corruptReason();
    case heif_error_Decoder_plugin_error:
        return corruptReason();
    case heif_error_Memory_allocation_error:
        return outOfMemoryReason();
    default:
        return Texts::tr("不支持的 HEIF/AVIF 图片（%1）")
            .arg(QString::fromUtf8(error.message));
    }
}

void check(const heif_error &error)
{
    if (error.code != heif_error_Ok)
        throw Error(reasonOf(error));
}

// How the codec's YCbCr becomes RGB: the picture's own description, else what libheif
// takes when there is none (BT.601, full range).
struct Matrix {
    int coefficients = heif_matrix_coefficients_ITU_R_BT_601_6;
    bool fullRange = true;
};

template <typename Source, typename Getter> Matrix matrixOf(Source source, Getter get)
{
    Matrix matrix;
    heif_color_profile_nclx *nclx = nullptr;
    if (get(source, &nclx).code == heif_error_Ok && nclx) {
        matrix.coefficients = nclx->matrix_coefficients;
        matrix.fullRange = nclx->full_range_flag;
        heif().heif_nclx_color_profile_free(nclx);
    }
    return matrix;
}

void releaseImage(void *image)
{
    heif().heif_image_release(static_cast<heif_image *>(image));
}

// libheif hands deep samples at their coded depth (10 or 12 bits); Qt wants 16.
void widenSamples(uchar *bits, int stride, int width, int height, int depth)
{
    if (depth >= 16)
        return;
    for (int y = 0; y < height; ++y) {
        auto *sample = reinterpret_cast<quint16 *>(bits + qsizetype(y) * stride);
        for (int x = 0; x < width * 4; ++x)
            sample[x] = quint16(sample[x] << (16 - depth) | sample[x] >> (2 * depth - 16));
    }
}

} // namespace

struct HeifDecoder::State {
    heif_context *context = heif().heif_context_alloc();
    heif_image_handle *handle = nullptr;
    int depth = 8;
    bool alpha = false;
    int matrix = heif_matrix_coefficients_ITU_R_BT_601_6;
    QSize stored;
    QSize coded; // before the turns and the crop

    ~State()
    {
        if (handle)
            heif().heif_image_handle_release(handle);
        heif().heif_context_free(context);
    }
};

HeifDecoder::HeifDecoder(QIODevice &device) : m(std::make_unique<State>())
{
    static const bool initialised = [] {
        heif().heif_init(nullptr);
        return true;
    }();
    Q_UNUSED(initialised);
    device.seek(0);
    heif().heif_context_set_maximum_image_size_limit(m->context, HeaderSideLimit);
    check(heif().heif_context_read_from_reader(m->context, &DeviceReader, &device, nullptr));
    check(heif().heif_context_get_primary_image_handle(m->context, &m->handle));
    m->stored = QSize(heif().heif_image_handle_get_width(m->handle),
                      heif().heif_image_handle_get_height(m->handle));
    m->coded = QSize(heif().heif_image_handle_get_ispe_width(m->handle),
                     heif().heif_image_handle_get_ispe_height(m->handle));
    if (m->stored.isEmpty() || m->coded.isEmpty())
        throw Error(corruptReason());
    // A grid's canvas is sized by its own record, which only the decode reads: no side
    // may pass the size the header gives, so the estimate below holds.
    heif().heif_context_set_maximum_image_size_limit(m->context,
                                                     qMax(m->coded.width(), m->coded.height()) + 1);
    m->depth = qMax(8, heif().heif_image_handle_get_luma_bits_per_pixel(m->handle));
    m->alpha = heif().heif_image_handle_has_alpha_channel(m->handle);
    m->matrix = matrixOf(m->handle, heif().heif_image_handle_get_nclx_color_profile).coefficients;
}

bool HeifDecoder::reducible() const
{
    double kr = 0, kb = 0;
    return m->depth == 8 && !m->alpha && lumaWeights(m->matrix, &kr, &kb);
}

QList<QSize> HeifDecoder::decodeSizes() const
{
    if (!reducible())
        return {m->stored};
    return halvedSizes(m->stored);
}

HeifDecoder::~HeifDecoder() = default;

QSize HeifDecoder::size() const
{
    return m->stored;
}

QImage::Format HeifDecoder::format() const
{
    if (m->depth > 8)
        return m->alpha ? QImage::Format_RGBA64 : QImage::Format_RGBX64;
    return m->alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888;
}

ColourDescription HeifDecoder::colour() const
{
    ColourDescription colour;
    if (const size_t size = heif().heif_image_handle_get_raw_color_profile_size(m->handle)) {
        colour.iccProfile.resize(qsizetype(size));
        if (heif()
                .heif_image_handle_get_raw_color_profile(m->handle, colour.iccProfile.data())
                .code != heif_error_Ok)
            colour.iccProfile.clear();
    }
    heif_color_profile_nclx *nclx = nullptr;
    if (heif().heif_image_handle_get_nclx_color_profile(m->handle, &nclx).code == heif_error_Ok &&
        nclx) {
        colour.hasCodePoints = true;
        colour.primaries = nclx->color_primaries;
        colour.transfer = nclx->transfer_characteristics;
        colour.matrix = nclx->matrix_coefficients;
        colour.fullRange = nclx->full_range_flag;
        heif().heif_nclx_color_profile_free(nclx);
    }
    return colour;
}

// The codec's planes at up to three samples a pixel (a grid is put together at full
// chroma, on a canvas no side of which passes the larger coded side), what the codec
// keeps besides, the interleaved result and its turned copy; or, reduced, the planes
// at 4:2:0 and their turned copy, and the small result.
qint64 HeifDecoder::peakBytes(QSize step) const
{
    const qint64 sampleBytes = m->depth > 8 ? 2 : 1;
    const int side = qMax(m->coded.width(), m->coded.height());
    const qint64 planes = pixelArea(QSize(side, side)) * 3 * sampleBytes;
    const qint64 codec = pixelArea(m->coded) * CodecSamplesPerPixel * sampleBytes;
    const qint64 alpha = m->alpha ? pixelArea(m->coded) * 2 * sampleBytes : 0;
    const qint64 result = pixelArea(m->stored) * QImage::toPixelFormat(format()).bitsPerPixel() / 8;
    if (step.isValid() && step != m->stored)
        return planes + codec + pixelArea(m->stored) * 3 + pixelArea(step) * 4 + FixedWorkBytes;
    return planes + codec + alpha + 2 * result + FixedWorkBytes;
}

QImage HeifDecoder::decodeReduced(int factor)
{
    heif_decoding_options *options = heif().heif_decoding_options_alloc();
    options->strict_decoding = 1;
    heif_image *image = nullptr;
    const heif_error error = heif().heif_decode_image(m->handle, &image, heif_colorspace_YCbCr,
                                                      heif_chroma_420, options);
    heif().heif_decoding_options_free(options);
    check(error);
    const std::unique_ptr<heif_image, decltype(&heif_image_release)> owned(
        image, heif().heif_image_release);
    const Matrix matrix = matrixOf(image, heif().heif_image_get_nclx_color_profile);
    double kr = 0, kb = 0;
    YCbCr420Planes planes{};
    planes.y = heif().heif_image_get_plane_readonly(image, heif_channel_Y, &planes.yStride);
    planes.cb = heif().heif_image_get_plane_readonly(image, heif_channel_Cb, &planes.cStride);
    int crStride = 0;
    planes.cr = heif().heif_image_get_plane_readonly(image, heif_channel_Cr, &crStride);
    planes.size = QSize(heif().heif_image_get_width(image, heif_channel_Y),
                        heif().heif_image_get_height(image, heif_channel_Y));
    if (!planes.y || !planes.cb || !planes.cr || crStride != planes.cStride ||
        heif().heif_image_get_bits_per_pixel_range(image, heif_channel_Y) != 8 ||
        planes.size != m->stored)
        throw Error(corruptReason());
    if (!lumaWeights(matrix.coefficients, &kr, &kb))
        return QImage(); // not one the weights describe: the full decode takes it
    return reduceYCbCr420(planes, factor, kr, kb, matrix.fullRange);
}

QImage HeifDecoder::decode(QSize step)
{
    if (step.isValid() && step != m->stored && reducible()) {
        const int factor = halvingFor(m->stored, step);
        if (factor > 1) {
            const QImage reduced = decodeReduced(factor);
            if (!reduced.isNull())
                return reduced;
        }
    }
    heif_decoding_options *options = heif().heif_decoding_options_alloc();
    options->convert_hdr_to_8bit = 0;
    options->strict_decoding = 1;
    const heif_chroma chroma = m->depth > 8 ? heif_chroma_interleaved_RRGGBBAA_LE
                               : m->alpha   ? heif_chroma_interleaved_RGBA
                                            : heif_chroma_interleaved_RGB;
    heif_image *image = nullptr;
    const heif_error error =
        heif().heif_decode_image(m->handle, &image, heif_colorspace_RGB, chroma, options);
    heif().heif_decoding_options_free(options);
    check(error);
    const int width = heif().heif_image_get_width(image, heif_channel_interleaved);
    const int height = heif().heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    uchar *bits = heif().heif_image_get_plane(image, heif_channel_interleaved, &stride);
    if (!bits || QSize(width, height) != m->stored) {
        heif().heif_image_release(image);
        throw Error(corruptReason());
    }
    if (m->depth > 8)
        widenSamples(bits, stride, width, height, m->depth);
    // The decoded planes become the picture, without a copy.
    return QImage(bits, width, height, stride, format(), releaseImage, image);
}

} // namespace tk
