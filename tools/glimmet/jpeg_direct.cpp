#include "jpeg_direct.h"

#include "scratch_formats.h"
#include "tool_run.h"

#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

namespace glimmet {

namespace {

// libjpeg reports errors by calling error_exit, which must not return. It
// jumps back into the small functions below, whose frames hold nothing with
// a destructor.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool damaged;
};

void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    cinfo->err->format_message(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    // Warnings mean damaged data, except stray bytes between markers, which
    // cost no pixels.
    if (level < 0 && !err->damaged && cinfo->err->msg_code != JWRN_EXTRANEOUS_DATA) {
        cinfo->err->format_message(cinfo, err->message);
        err->damaged = true;
    }
}

// The image's bytes, with the end marker supplied once, silently, where the
// data stops without one. Data that stops inside the picture still makes
// the decoder complain: it finds the marker where it needed more bits.
struct Source {
    jpeg_source_mgr pub;
    bool endSupplied;
};

const JOCTET kEndMarker[2] = {0xFF, JPEG_EOI};

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

boolean fillInput(j_decompress_ptr cinfo) {
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    if (src->endSupplied)
        WARNMS(cinfo, JWRN_JPEG_EOF);
    src->endSupplied = true;
    src->pub.next_input_byte = kEndMarker;
    src->pub.bytes_in_buffer = sizeof kEndMarker;
    return TRUE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    auto* src = reinterpret_cast<Source*>(cinfo->src);
    while (count > static_cast<long>(src->pub.bytes_in_buffer)) {
        count -= static_cast<long>(src->pub.bytes_in_buffer);
        fillInput(cinfo);
    }
    if (count > 0) {
        src->pub.next_input_byte += count;
        src->pub.bytes_in_buffer -= static_cast<size_t>(count);
    }
}

bool readHeader(jpeg_decompress_struct* cinfo, ErrorManager* err) {
    if (setjmp(err->jump))
        return false;
    jpeg_read_header(cinfo, TRUE);
    return true;
}

bool start(jpeg_decompress_struct* cinfo, ErrorManager* err, bool gray, int scale = 1) {
    if (setjmp(err->jump))
        return false;
    if (scale > 1) {
        cinfo->scale_num = 1;
        cinfo->scale_denom = static_cast<unsigned>(scale);
        cinfo->dct_method = JDCT_IFAST;
    }
    // Without an Adobe marker, three components are YCbCr on the page
    // whatever their IDs say; libjpeg would take R, G and B IDs as RGB.
    if (!gray && !cinfo->saw_Adobe_marker)
        cinfo->jpeg_color_space = JCS_YCbCr;
    cinfo->out_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_start_decompress(cinfo);
    return true;
}

bool startAsStored(jpeg_decompress_struct* cinfo, ErrorManager* err) {
    if (setjmp(err->jump))
        return false;
    jpeg_start_decompress(cinfo);
    return true;
}

bool readRow(jpeg_decompress_struct* cinfo, ErrorManager* err, JSAMPROW row) {
    if (setjmp(err->jump))
        return false;
    return jpeg_read_scanlines(cinfo, &row, 1) == 1;
}

bool finish(jpeg_decompress_struct* cinfo, ErrorManager* err) {
    if (setjmp(err->jump))
        return false;
    jpeg_finish_decompress(cinfo);
    return true;
}

class Decompressor {
public:
    Decompressor(const unsigned char* data, size_t len) {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = onError;
        err_.pub.emit_message = onMessage;
        err_.damaged = false;
        err_.message[0] = '\0';
        jpeg_create_decompress(&cinfo_);
        src_.pub.next_input_byte = data;
        src_.pub.bytes_in_buffer = len;
        src_.pub.init_source = initSource;
        src_.pub.fill_input_buffer = fillInput;
        src_.pub.skip_input_data = skipInput;
        src_.pub.resync_to_restart = jpeg_resync_to_restart;
        src_.pub.term_source = termSource;
        src_.endSupplied = false;
        cinfo_.src = &src_.pub;
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* info() { return &cinfo_; }
    ErrorManager* errors() { return &err_; }
    bool damaged() const { return err_.damaged; }
    [[noreturn]] void fail() {
        throw tools::MuError(std::string("the image data is damaged: ") +
                             (err_.message[0] ? err_.message : "JPEG data ends early"));
    }

private:
    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
    Source src_{};
};

fz_compressed_buffer* jpegBuffer(fz_context* ctx, fz_image* image) {
    fz_compressed_buffer* cb = fz_compressed_image_buffer(ctx, image);
    return cb && cb->params.type == FZ_IMAGE_JPEG ? cb : nullptr;
}

size_t storage(fz_context* ctx, fz_compressed_buffer* cb, unsigned char** data) {
    return fz_buffer_storage(ctx, cb->buffer, data);
}

} // namespace

void checkJpegMatchesImage(fz_context* ctx, fz_image* image) {
    fz_compressed_buffer* cb = jpegBuffer(ctx, image);
    if (!cb)
        return;
    unsigned char* data = nullptr;
    const size_t len = storage(ctx, cb, &data);
    Decompressor jpeg(data, len);
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!readHeader(cinfo, jpeg.errors()))
        jpeg.fail();
    if (cinfo->num_components != image->n)
        throw tools::MuError("the JPEG data holds " +
                             tools::counted(cinfo->num_components, "colour component") +
                             " where the document declares " + std::to_string(image->n));
    if (static_cast<int>(cinfo->image_width) != image->w ||
        static_cast<int>(cinfo->image_height) != image->h)
        throw tools::MuError("the JPEG data is " + std::to_string(cinfo->image_width) + " x " +
                             std::to_string(cinfo->image_height) +
                             " pixels where the document declares " + std::to_string(image->w) +
                             " x " + std::to_string(image->h));
}

std::optional<JpegHeader> readJpegHeader(const unsigned char* data, size_t len) {
    Decompressor jpeg(data, len);
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!readHeader(cinfo, jpeg.errors()) || jpeg.damaged())
        return std::nullopt;
    JpegHeader header;
    header.w = static_cast<int>(cinfo->image_width);
    header.h = static_cast<int>(cinfo->image_height);
    header.components = cinfo->num_components;
    header.precision = cinfo->data_precision;
    header.adobe = cinfo->saw_Adobe_marker;
    header.adobeYcc = cinfo->saw_Adobe_marker && cinfo->Adobe_transform != 0;
    header.fromYcc = cinfo->jpeg_color_space == JCS_YCbCr || cinfo->jpeg_color_space == JCS_YCCK;
    // Writers may pad the stream after the marker.
    size_t end = len;
    while (end > 0 && (data[end - 1] == 0 || std::isspace(data[end - 1])))
        --end;
    header.endMarker = end >= 2 && data[end - 2] == 0xFF && data[end - 1] == JPEG_EOI;
    return header;
}

bool jpegDecodesWhole(fz_context* ctx, fz_image* image) {
    fz_compressed_buffer* cb = jpegBuffer(ctx, image);
    if (!cb)
        return false;
    unsigned char* data = nullptr;
    const size_t len = storage(ctx, cb, &data);
    Decompressor jpeg(data, len);
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!readHeader(cinfo, jpeg.errors()) || !startAsStored(cinfo, jpeg.errors()))
        return false;
    std::vector<JSAMPLE> row(static_cast<size_t>(cinfo->output_width) * cinfo->output_components);
    while (cinfo->output_scanline < cinfo->output_height)
        if (!readRow(cinfo, jpeg.errors(), row.data()) || jpeg.damaged())
            return false;
    return finish(cinfo, jpeg.errors()) && !jpeg.damaged();
}

bool canWriteJpegAsPnm(fz_context* ctx, fz_image* image) {
    fz_compressed_buffer* cb = jpegBuffer(ctx, image);
    if (!cb || cb->params.u.jpeg.color_transform != -1)
        return false;
    if (image->imagemask || image->use_decode || image->use_colorkey || !image->colorspace)
        return false;
    return (fz_colorspace_is_gray(ctx, image->colorspace) && image->n == 1) ||
           (fz_colorspace_is_rgb(ctx, image->colorspace) && image->n == 3);
}

struct JpegRows::Impl {
    Impl(const unsigned char* data, size_t len) : jpeg(data, len) {}
    Decompressor jpeg;
    int w = 0, h = 0, y = 0;
};

JpegRows::JpegRows(fz_context* ctx, fz_image* image, int scale) {
    fz_compressed_buffer* cb = jpegBuffer(ctx, image);
    unsigned char* data = nullptr;
    const size_t len = storage(ctx, cb, &data);
    impl_ = std::make_unique<Impl>(data, len);
    Decompressor& jpeg = impl_->jpeg;
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!readHeader(cinfo, jpeg.errors()) || cinfo->num_components != image->n ||
        !start(cinfo, jpeg.errors(), image->n == 1, scale) || jpeg.damaged())
        jpeg.fail();
    impl_->w = static_cast<int>(cinfo->output_width);
    impl_->h = static_cast<int>(cinfo->output_height);
    const auto reduced = [scale](int side) { return (side + scale - 1) / scale; };
    if (impl_->w != reduced(image->w) || impl_->h != reduced(image->h)) {
        checkJpegMatchesImage(ctx, image); // says how they differ
        throw tools::MuError("the JPEG data is not of the image's size");
    }
}

JpegRows::~JpegRows() = default;

int JpegRows::width() const {
    return impl_->w;
}

int JpegRows::height() const {
    return impl_->h;
}

void JpegRows::next(std::uint8_t* row) {
    Decompressor& jpeg = impl_->jpeg;
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!readRow(cinfo, jpeg.errors(), row) || jpeg.damaged())
        jpeg.fail();
    if (++impl_->y == impl_->h && (!finish(cinfo, jpeg.errors()) || jpeg.damaged()))
        jpeg.fail();
}

void writeJpegAsPnm(fz_context* ctx, fz_image* image, ScratchOutput& out) {
    JpegRows jpeg(ctx, image);
    const auto rows = [&](int, std::uint8_t* row) { jpeg.next(row); };
    if (image->n == 1)
        writePgm(out, jpeg.width(), jpeg.height(), rows);
    else
        writePpm(out, jpeg.width(), jpeg.height(), rows);
}

} // namespace glimmet
