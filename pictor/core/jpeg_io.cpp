#include "jpeg_io.h"

#include <csetjmp>
#include <cstddef>
// jpeglib.h uses FILE and size_t without including what declares them.
#include <cstdio>

#include <QByteArray>
#include <QFile>

#include <jerror.h>
#include <jpeglib.h>

#include "memory_stream.h"
#include "picture_limits.h"

namespace pictor {

namespace {

constexpr std::size_t kBufferSize = 4096;

// libjpeg's default error_exit prints the message and ends the program. Ours keeps the message and
// jumps back to the routine that started the work, which cleans up and reports it.
struct ErrorManager {
    jpeg_error_mgr pub;  // first, so that libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr cinfo)
{
    auto* manager = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings (stray bytes between markers, a bad code in one block) leave a picture that is mostly
// right, so we show it as other viewers do; libjpeg counts them, nothing is printed.
void stayQuiet(j_common_ptr) {}

void installErrorManager(ErrorManager& manager, jpeg_error_mgr*& slot)
{
    slot = jpeg_std_error(&manager.pub);
    manager.pub.error_exit = jumpOnError;
    manager.pub.output_message = stayQuiet;
    manager.message[0] = '\0';
}

// Source manager reading the file through a buffer.
struct FileSource {
    jpeg_source_mgr pub;
    QFile* file;
    JOCTET buffer[kBufferSize];
};

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr cinfo)
{
    auto* source = reinterpret_cast<FileSource*>(cinfo->src);
    const qint64 got = source->file->read(reinterpret_cast<char*>(source->buffer), kBufferSize);
    // libjpeg's own sources make up an end-of-image marker here and carry on with a warning, which
    // shows a cut file with a grey bottom; a file that ends early is an error for us.
    if (got <= 0) ERREXIT(cinfo, JERR_INPUT_EOF);
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<std::size_t>(got);
    return TRUE;
}

void skipInputData(j_decompress_ptr cinfo, long count)
{
    jpeg_source_mgr& pub = *cinfo->src;
    while (count > 0 && static_cast<unsigned long>(count) > pub.bytes_in_buffer) {
        count -= static_cast<long>(pub.bytes_in_buffer);
        fillInputBuffer(cinfo);
    }
    if (count > 0) {
        pub.next_input_byte += count;
        pub.bytes_in_buffer -= static_cast<std::size_t>(count);
    }
}

void termSource(j_decompress_ptr) {}

// Destination manager collecting the file in memory, so that it reaches the disk whole or not at all.
struct BytesDestination {
    jpeg_destination_mgr pub;
    QByteArray* bytes;
    JOCTET buffer[kBufferSize];
};

void initDestination(j_compress_ptr cinfo)
{
    auto* destination = reinterpret_cast<BytesDestination*>(cinfo->dest);
    destination->pub.next_output_byte = destination->buffer;
    destination->pub.free_in_buffer = kBufferSize;
}

boolean emptyOutputBuffer(j_compress_ptr cinfo)
{
    // Called with the buffer full, whatever free_in_buffer says.
    auto* destination = reinterpret_cast<BytesDestination*>(cinfo->dest);
    destination->bytes->append(reinterpret_cast<const char*>(destination->buffer), kBufferSize);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo)
{
    auto* destination = reinterpret_cast<BytesDestination*>(cinfo->dest);
    destination->bytes->append(reinterpret_cast<const char*>(destination->buffer),
                               static_cast<qsizetype>(kBufferSize - destination->pub.free_in_buffer));
}

// decode() and encode() hold everything between setjmp and the last libjpeg call. Their locals are
// plain structs, so a longjmp back skips no destructor; the file, the picture and the bytes belong
// to the caller and stay valid.
bool decode(QFile* file, QImage* picture, QString* why)
{
    jpeg_decompress_struct cinfo{};
    ErrorManager errors;
    FileSource source;
    installErrorManager(errors, cinfo.err);
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&cinfo);
        *why = QStringLiteral("cannot read the JPEG: ") + QString::fromLatin1(errors.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    source.pub.init_source = initSource;
    source.pub.fill_input_buffer = fillInputBuffer;
    source.pub.skip_input_data = skipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = termSource;
    source.pub.next_input_byte = nullptr;
    source.pub.bytes_in_buffer = 0;
    source.file = file;
    cinfo.src = &source.pub;

    jpeg_read_header(&cinfo, TRUE);
    if (qint64(cinfo.image_width) * cinfo.image_height > kMaxPixels) {
        *why = QStringLiteral("the JPEG claims %1 x %2 pixels, more than the %3 a picture may have")
                   .arg(cinfo.image_width)
                   .arg(cinfo.image_height)
                   .arg(kMaxPixels);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    // Full scale, the accurate integer transform and smooth chroma upsampling: libjpeg's best.
    // Greyscale and YCbCr files both come out as RGB; CMYK ones are refused by libjpeg.
    cinfo.out_color_space = JCS_RGB;
    cinfo.scale_num = 1;
    cinfo.scale_denom = 1;
    cinfo.dct_method = JDCT_ISLOW;
    cinfo.do_fancy_upsampling = TRUE;
    cinfo.do_block_smoothing = TRUE;
    cinfo.quantize_colors = FALSE;
    jpeg_start_decompress(&cinfo);
    *picture =
        QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB888);
    if (picture->isNull() || cinfo.output_components != 3) {
        *why = QStringLiteral("not enough memory for the picture");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = picture->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    // Reads on to the end-of-image marker, so a file cut after its last pixel is refused too.
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

bool encode(const QImage& rgb, QByteArray* bytes, QString* why)
{
    jpeg_compress_struct cinfo{};
    ErrorManager errors;
    BytesDestination destination;
    installErrorManager(errors, cinfo.err);
    if (setjmp(errors.jump)) {
        jpeg_destroy_compress(&cinfo);
        *why = QStringLiteral("cannot make the JPEG: ") + QString::fromLatin1(errors.message);
        return false;
    }
    jpeg_create_compress(&cinfo);
    destination.pub.init_destination = initDestination;
    destination.pub.empty_output_buffer = emptyOutputBuffer;
    destination.pub.term_destination = termDestination;
    destination.bytes = bytes;
    cinfo.dest = &destination.pub;

    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);  // YCbCr, three components: a colour file even for a grey picture
    jpeg_set_quality(&cinfo, 100, TRUE);
    // At quality 100 the default halving of the chroma components still moves colours by up to 85
    // steps at sharp edges; chroma at full resolution keeps every channel within a few steps.
    for (int i = 0; i < cinfo.num_components; ++i) {
        cinfo.comp_info[i].h_samp_factor = 1;
        cinfo.comp_info[i].v_samp_factor = 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        // libjpeg only reads the rows it is handed.
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(static_cast<int>(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

bool readJpeg(const QString& path, QImage* out, QString* error)
{
    QFile file(path);
    QString why;
    QImage picture;
    if (!file.open(QIODevice::ReadOnly))
        why = file.errorString();
    else if (decode(&file, &picture, &why)) {
        *out = picture;
        return true;
    }
    if (error) *error = QStringLiteral("%1: %2").arg(path, why);
    return false;
}

bool writeJpeg(const QImage& image, const QString& path, QString* error)
{
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    };
    if (image.isNull()) return fail(QStringLiteral("there is no picture to write"));
    // Qt converts an indexed picture through its colour table (an empty table as a grey ramp).
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull()) return fail(QStringLiteral("not enough memory to convert the picture to 24 bits"));
    QByteArray bytes;
    QString why;
    if (!encode(rgb, &bytes, &why)) return fail(why);
    return kestrix::writeFileAtomically(path, bytes, error);
}

}  // namespace pictor
