#include "jpeg_direct.h"

#include "scratch_file.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
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

bool start(jpeg_decompress_struct* cinfo, ErrorManager* err, const unsigned char* data, size_t len,
           int components) {
    if (setjmp(err->jump))
        return false;
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(len));
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->num_components != components)
        return false;
    cinfo->out_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
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
    Decompressor() {
        cinfo_.err = jpeg_std_error(&err_.pub);
        err_.pub.error_exit = onError;
        err_.pub.emit_message = onMessage;
        err_.damaged = false;
        err_.message[0] = '\0';
        jpeg_create_decompress(&cinfo_);
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;

    jpeg_decompress_struct* info() { return &cinfo_; }
    ErrorManager* errors() { return &err_; }
    [[noreturn]] void fail() {
        throw tools::MuError(std::string("the image data is damaged: ") +
                             (err_.message[0] ? err_.message : "JPEG data ends early"));
    }

private:
    jpeg_decompress_struct cinfo_{};
    ErrorManager err_{};
};

} // namespace

bool writeJpegDirectly(fz_context* ctx, fz_image* image, const std::string& path) {
    fz_compressed_buffer* cb = fz_compressed_image_buffer(ctx, image);
    if (!cb || cb->params.type != FZ_IMAGE_JPEG || cb->params.u.jpeg.color_transform != -1)
        return false;
    if (image->imagemask || image->use_decode || image->use_colorkey || !image->colorspace)
        return false;
    bool gray = fz_colorspace_is_gray(ctx, image->colorspace) && image->n == 1;
    bool rgb = fz_colorspace_is_rgb(ctx, image->colorspace) && image->n == 3;
    if (!gray && !rgb)
        return false;

    unsigned char* data = nullptr;
    size_t len = fz_buffer_storage(ctx, cb->buffer, &data);
    Decompressor jpeg;
    jpeg_decompress_struct* cinfo = jpeg.info();
    if (!start(cinfo, jpeg.errors(), data, len, image->n)) {
        if (jpeg.errors()->message[0])
            jpeg.fail();
        return false; // components other than the PDF says: MuPDF knows best
    }
    int w = static_cast<int>(cinfo->output_width);
    int h = static_cast<int>(cinfo->output_height);
    if (w != image->w || h != image->h)
        return false;

    std::vector<std::uint8_t> grayRow(gray ? static_cast<size_t>(w) : 0);
    writePpm(path, w, h, [&](int, std::uint8_t* out) {
        JSAMPROW target = gray ? grayRow.data() : out;
        if (!readRow(cinfo, jpeg.errors(), target) || jpeg.errors()->damaged)
            jpeg.fail();
        if (gray) {
            for (int x = 0; x < w; ++x, out += 3)
                out[0] = out[1] = out[2] = grayRow[x];
        }
    });
    if (!finish(cinfo, jpeg.errors()) || jpeg.errors()->damaged) {
        std::remove(path.c_str());
        jpeg.fail();
    }
    return true;
}

} // namespace glimmet
