#include "core/jpegdecoder.h"

#include "core/colour.h"
#include "core/error.h"
#include "core/picturedecoder.h"
#include "core/exif.h"
#include "core/jpegscans.h"
#include "core/language.h"
#include "core/largeimage.h"
#include "core/memorybudget.h"

#include <QIODevice>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
// jpeglib.h needs size_t and FILE first, and jerror.h its configuration.
#include <jpeglib.h>

#include <jerror.h>

namespace tk {

namespace {

// Each scan walks all the blocks of its components again, however little data it
// holds, so a small file of many scans over a large picture takes minutes. Allowed:
// as many block visits as twenty scans over the largest picture whose blocks the
// budget holds, which real photos (ten scans or so, most over part of the picture)
// never reach, and which takes a second or two.
constexpr qint64 ScanWorkBudget = 20 * (PictureMemoryBudget / qint64(sizeof(JBLOCK)));
constexpr int BufferBytes = 64 * 1024;
// What the library's row buffers take per column and component: a few rows of blocks
// (a block is 8 pixels high) at the full width.
constexpr qint64 RowBufferBytesPerSample = 64;
// The library's own tables and work space, whatever the picture.
constexpr qint64 FixedWorkBytes = qint64(1) << 20;

enum class Failure { None, Corrupt, Truncated, TooManyScans, ReadError, TooLarge, Other };

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    Failure failure;
    char text[JMSG_LENGTH_MAX];
};

struct Source {
    jpeg_source_mgr pub;
    QIODevice *device;
    JOCTET buffer[BufferBytes];
};

Failure failureOf(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:
        return Failure::Truncated;
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL:
    case JWRN_BOGUS_PROGRESSION:
        return Failure::Corrupt;
    case JERR_FILE_READ:
        return Failure::ReadError;
    case JERR_OUT_OF_MEMORY:
    case JERR_NO_BACKING_STORE:
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return Failure::TooLarge;
    default:
        return Failure::Other;
    }
}

[[noreturn]] void fail(j_common_ptr cinfo, Failure failure)
{
    auto *errors = reinterpret_cast<ErrorManager *>(cinfo->err);
    errors->failure = failure;
    (*cinfo->err->format_message)(cinfo, errors->text);
    std::longjmp(errors->jump, 1);
}

void errorExit(j_common_ptr cinfo)
{
    fail(cinfo, failureOf(cinfo->err->msg_code));
}

// Warnings that lose no picture data; every other warning fails the decode.
bool harmless(int code)
{
    return code == JWRN_EXTRANEOUS_DATA || code == JWRN_JFIF_MAJOR || code == JWRN_ADOBE_XFORM ||
           code == JWRN_BOGUS_ICC;
}

void emitMessage(j_common_ptr cinfo, int level)
{
    if (level < 0 && !harmless(cinfo->err->msg_code))
        fail(cinfo, failureOf(cinfo->err->msg_code));
}

qint64 blocksOf(const jpeg_component_info &component)
{
    return qint64(component.width_in_blocks) * component.height_in_blocks;
}

// Counts each scan's blocks as the scan begins, whatever the walk before decoding saw.
struct Progress {
    jpeg_progress_mgr pub;
    int countedScans = 0;
    qint64 blockVisits = 0;
};

void progress(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor)
        return;
    auto *state = reinterpret_cast<Progress *>(cinfo->progress);
    const auto *decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decompress->input_scan_number <= state->countedScans)
        return;
    state->countedScans = decompress->input_scan_number;
    for (int i = 0; i < decompress->comps_in_scan; ++i)
        state->blockVisits += blocksOf(*decompress->cur_comp_info[i]);
    if (state->blockVisits > ScanWorkBudget)
        fail(cinfo, Failure::TooManyScans);
}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto *source = reinterpret_cast<Source *>(cinfo->src);
    const qint64 got = source->device->read(reinterpret_cast<char *>(source->buffer), BufferBytes);
    if (got < 0)
        ERREXIT(cinfo, JERR_FILE_READ);
    if (got == 0) {
        // The file ends before its end-of-image marker.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        source->pub.bytes_in_buffer = 2;
    } else {
        source->pub.bytes_in_buffer = size_t(got);
    }
    source->pub.next_input_byte = source->buffer;
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    auto *source = reinterpret_cast<Source *>(cinfo->src);
    while (count > long(source->pub.bytes_in_buffer)) {
        count -= long(source->pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    if (count > 0) {
        source->pub.next_input_byte += count;
        source->pub.bytes_in_buffer -= size_t(count);
    }
}

QString reasonOf(Failure failure, const char *text)
{
    switch (failure) {
    case Failure::Truncated:
        return Texts::tr("文件不完整");
    case Failure::Corrupt:
        return Texts::tr("图片数据损坏");
    case Failure::TooManyScans:
        return Texts::tr("图片数据异常（扫描次数过多）");
    case Failure::ReadError:
        return Texts::tr("读取文件出错");
    case Failure::TooLarge:
        return outOfMemoryReason();
    default:
        return Texts::tr("不是有效的 JPEG 图片（%1）").arg(QString::fromLocal8Bit(text));
    }
}

} // namespace

struct JpegDecoder::State {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    Source source;
    Progress progress;
    QImageIOHandler::Transformations transformation = QImageIOHandler::TransformationNone;
    bool cmyk = false;
    bool fullBuffer = false;
    ColourDescription colour;
    ColourModel model = ColourModel::Rgb;
    // CMYK is turned into sRGB here, at the decoded size, before anything else sees it.
    std::unique_ptr<ColourConversion> inks;

    State()
    {
        cinfo.err = jpeg_std_error(&errors.pub);
        errors.pub.error_exit = errorExit;
        errors.pub.emit_message = emitMessage;
        errors.failure = Failure::None;
        jpeg_create_decompress(&cinfo);
    }
    ~State() { jpeg_destroy_decompress(&cinfo); }

    [[noreturn]] void throwFailure() const { throw Error(reasonOf(errors.failure, errors.text)); }
};

namespace {

// The calls into the library that may jump back: no C++ object lives in these frames.
bool readHeader(jpeg_decompress_struct *cinfo, ErrorManager *errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_save_markers(cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(cinfo, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(cinfo, TRUE);
    return true;
}

// The ICC profile spread over APP2 markers; empty when there is none or its pieces do
// not add up.
QByteArray iccProfile(jpeg_decompress_struct *cinfo, ErrorManager *errors)
{
    JOCTET *data = nullptr;
    unsigned int length = 0;
    if (setjmp(errors->jump))
        return QByteArray();
    if (!jpeg_read_icc_profile(cinfo, &data, &length))
        return QByteArray();
    QByteArray icc(reinterpret_cast<const char *>(data), qsizetype(length));
    std::free(data);
    return icc;
}

bool setScale(jpeg_decompress_struct *cinfo, ErrorManager *errors, int eighths)
{
    if (setjmp(errors->jump))
        return false;
    cinfo->scale_num = unsigned(eighths);
    cinfo->scale_denom = 8;
    jpeg_calc_output_dimensions(cinfo);
    return true;
}

bool decompress(jpeg_decompress_struct *cinfo, ErrorManager *errors, const QImage &image,
                uchar *bits, qsizetype bytesPerLine, const JpegDecoder::RowsDone *rowsDone)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_start_decompress(cinfo);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = bits + qsizetype(cinfo->output_scanline) * bytesPerLine;
        jpeg_read_scanlines(cinfo, &row, 1);
        // Told in bands, so whoever waits for rows is not woken for every one.
        if (rowsDone && (cinfo->output_scanline % 32 == 0 ||
                         cinfo->output_scanline == cinfo->output_height))
            (*rowsDone)(image, int(cinfo->output_scanline));
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

} // namespace

JpegDecoder::JpegDecoder(QIODevice &device) : m(std::make_unique<State>())
{
    m->cinfo.mem->max_memory_to_use = long(PictureMemoryBudget);
    m->progress.pub.progress_monitor = progress;
    m->cinfo.progress = &m->progress.pub;

    m->source.device = &device;
    m->source.pub.init_source = initSource;
    m->source.pub.fill_input_buffer = fillInputBuffer;
    m->source.pub.skip_input_data = skipInputData;
    m->source.pub.resync_to_restart = jpeg_resync_to_restart;
    m->source.pub.term_source = termSource;
    m->source.pub.bytes_in_buffer = 0;
    m->source.pub.next_input_byte = nullptr;
    m->cinfo.src = &m->source.pub;

    if (!readHeader(&m->cinfo, &m->errors))
        m->throwFailure();
    for (jpeg_saved_marker_ptr marker = m->cinfo.marker_list; marker; marker = marker->next) {
        const QByteArray data(reinterpret_cast<const char *>(marker->data),
                              qsizetype(marker->data_length));
        if (marker->marker == JPEG_APP0 + 1 && data.startsWith("Exif")) {
            m->transformation = exifTransformation(data);
            break;
        }
    }
    m->cmyk = m->cinfo.jpeg_color_space == JCS_CMYK || m->cinfo.jpeg_color_space == JCS_YCCK;
    m->colour.iccProfile = iccProfile(&m->cinfo, &m->errors);
    if (m->cmyk) {
        // Adobe's programs, which mark their files with an APP14 marker, store the inks
        // inverted.
        m->inks = std::make_unique<ColourConversion>(
            m->colour, m->cinfo.saw_Adobe_marker ? ColourModel::AdobeCmyk : ColourModel::Cmyk);
        m->colour = ColourDescription();
    } else if (m->cinfo.jpeg_color_space == JCS_GRAYSCALE) {
        m->model = ColourModel::Grey;
    }
    m->cinfo.out_color_space = m->cmyk ? JCS_CMYK
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
                                       : JCS_EXT_BGRX;
#else
                                       : JCS_EXT_XRGB;
#endif
    // A scan that holds only some components, or a progressive file, makes the library
    // keep every coefficient of the whole picture until the last scan.
    m->fullBuffer = m->cinfo.progressive_mode || m->cinfo.comps_in_scan < m->cinfo.num_components;
    // Only such a file has more scans than one; they are weighed before any is decoded.
    if (m->fullBuffer) {
        QHash<int, qint64> blocks;
        for (int c = 0; c < m->cinfo.num_components; ++c)
            blocks.insert(m->cinfo.comp_info[c].component_id, blocksOf(m->cinfo.comp_info[c]));
        if (scanBlockVisits(device, blocks, ScanWorkBudget) > ScanWorkBudget)
            throw Error(reasonOf(Failure::TooManyScans, ""));
    }
}

JpegDecoder::~JpegDecoder() = default;

QSize JpegDecoder::size() const
{
    return QSize(int(m->cinfo.image_width), int(m->cinfo.image_height));
}

QImageIOHandler::Transformations JpegDecoder::transformation() const
{
    return m->transformation;
}

QSize JpegDecoder::scaledSize(int eighths) const
{
    const auto scaled = [eighths](JDIMENSION full) {
        return int((qint64(full) * eighths + 7) / 8);
    };
    return QSize(scaled(m->cinfo.image_width), scaled(m->cinfo.image_height));
}

qint64 JpegDecoder::peakBytes(int eighths) const
{
    qint64 coefficients = 0;
    if (m->fullBuffer) {
        for (int c = 0; c < m->cinfo.num_components; ++c) {
            const jpeg_component_info &component = m->cinfo.comp_info[c];
            const qint64 blocks = qint64(component.width_in_blocks + component.h_samp_factor) *
                                  (component.height_in_blocks + component.v_samp_factor);
            coefficients += blocks * qint64(sizeof(JBLOCK));
        }
    }
    const QSize out = scaledSize(eighths);
    const qint64 rows =
        qint64(m->cinfo.image_width) * m->cinfo.num_components * RowBufferBytesPerSample;
    const qint64 inks = m->inks ? m->inks->peakBytes(QImage::Format_RGB32, out) : 0;
    return coefficients + qint64(out.width()) * out.height() * 4 + rows + FixedWorkBytes + inks;
}

ColourDescription JpegDecoder::colour() const
{
    return m->colour;
}

ColourModel JpegDecoder::model() const
{
    return m->model;
}

QImage JpegDecoder::decode(int eighths, const RowsDone &rowsDone)
{
    if (!setScale(&m->cinfo, &m->errors, eighths))
        m->throwFailure();
    if (m->cinfo.output_components != 4)
        throw Error(Texts::tr("不支持的 JPEG 颜色格式"));
    QImage image = largeImage(QSize(int(m->cinfo.output_width), int(m->cinfo.output_height)),
                              QImage::Format_RGB32);
    if (image.isNull())
        throw Error(outOfMemoryReason());
    const bool streamed = rowsDone && !m->cmyk;
    if (!decompress(&m->cinfo, &m->errors, image, image.bits(), image.bytesPerLine(),
                    streamed ? &rowsDone : nullptr))
        m->throwFailure();
    if (m->inks)
        image = m->inks->apply(std::move(image));
    if (rowsDone && !streamed)
        rowsDone(image, image.height());
    return image;
}

} // namespace tk
