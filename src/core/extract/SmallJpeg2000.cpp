#include "extract/SmallJpeg2000.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <openjpeg.h>

namespace extract {

namespace {

constexpr unsigned kFreeImageLevels = 6;

struct ImageDeleter {
    void operator()(opj_image_t* image) const { opj_image_destroy(image); }
};
struct CodecDeleter {
    void operator()(opj_codec_t* codec) const { opj_destroy_codec(codec); }
};
struct StreamDeleter {
    void operator()(opj_stream_t* stream) const { opj_stream_destroy(stream); }
};

void Quiet(const char*, void*) {}

// Level n halves the picture n - 1 times, down to at least one pixel.
OPJ_UINT32 LevelsFor(unsigned shorterSide) {
    OPJ_UINT32 levels = 1;
    while (levels < kFreeImageLevels && (shorterSide >> levels) > 0)
        ++levels;
    return levels;
}

// The codec's output stream, into the working file.
OPJ_SIZE_T WriteTo(void* buffer, OPJ_SIZE_T size, void* file) {
    return static_cast<platform::WorkingFile*>(file)->Write(buffer, size)
               ? size
               : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_OFF_T SkipIn(OPJ_OFF_T offset, void* file) {
    return static_cast<platform::WorkingFile*>(file)->Seek(offset, SEEK_CUR) ? offset : -1;
}

OPJ_BOOL SeekIn(OPJ_OFF_T offset, void* file) {
    return static_cast<platform::WorkingFile*>(file)->Seek(offset, SEEK_SET) ? OPJ_TRUE : OPJ_FALSE;
}

} // namespace

bool TooSmallForFreeImageJpeg2000(FIBITMAP* dib) {
    const unsigned shorter = std::min(FreeImage_GetWidth(dib), FreeImage_GetHeight(dib));
    return shorter < (1u << (kFreeImageLevels - 1));
}

bool SaveSmallJpeg2000(FIBITMAP* dib, platform::WorkingFile& file, int rate) {
    const unsigned w = FreeImage_GetWidth(dib);
    const unsigned h = FreeImage_GetHeight(dib);
    const unsigned bpp = FreeImage_GetBPP(dib);
    const unsigned channels = bpp == 8 ? 1 : bpp == 24 ? 3 : bpp == 32 ? 4 : 0;
    if (channels == 0 || w == 0 || h == 0 || FreeImage_GetImageType(dib) != FIT_BITMAP)
        return false;

    opj_image_cmptparm_t parameters[4] = {};
    for (unsigned c = 0; c < channels; ++c) {
        parameters[c].dx = parameters[c].dy = 1;
        parameters[c].w = w;
        parameters[c].h = h;
        parameters[c].prec = 8;
    }
    std::unique_ptr<opj_image_t, ImageDeleter> image(
        opj_image_create(channels, parameters, channels == 1 ? OPJ_CLRSPC_GRAY : OPJ_CLRSPC_SRGB));
    if (!image)
        return false;
    image->x1 = w;
    image->y1 = h;
    if (channels == 4)
        image->comps[3].alpha = 1;
    const unsigned offsets[4] = {FI_RGBA_RED, FI_RGBA_GREEN, FI_RGBA_BLUE, FI_RGBA_ALPHA};
    for (unsigned y = 0; y < h; ++y) {
        // FreeImage keeps the bottom row first.
        const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(h - 1 - y));
        for (unsigned x = 0; x < w; ++x)
            for (unsigned c = 0; c < channels; ++c)
                image->comps[c].data[y * w + x] =
                    channels == 1 ? line[x] : line[x * channels + offsets[c]];
    }

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_numlayers = 1;
    settings.tcp_rates[0] = static_cast<float>(rate);
    settings.cp_disto_alloc = 1;
    settings.numresolution = static_cast<int>(LevelsFor(std::min(w, h)));
    settings.tcp_mct = channels >= 3 ? 1 : 0;

    std::unique_ptr<opj_codec_t, CodecDeleter> codec(opj_create_compress(OPJ_CODEC_JP2));
    if (!codec)
        return false;
    opj_set_error_handler(codec.get(), Quiet, nullptr);
    opj_set_warning_handler(codec.get(), Quiet, nullptr);
    opj_set_info_handler(codec.get(), Quiet, nullptr);
    if (!opj_setup_encoder(codec.get(), &settings, image.get()))
        return false;
    std::unique_ptr<opj_stream_t, StreamDeleter> stream(
        opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE));
    if (!stream)
        return false;
    opj_stream_set_user_data(stream.get(), &file, nullptr);
    opj_stream_set_write_function(stream.get(), WriteTo);
    opj_stream_set_skip_function(stream.get(), SkipIn);
    opj_stream_set_seek_function(stream.get(), SeekIn);
    return opj_start_compress(codec.get(), image.get(), stream.get()) &&
           opj_encode(codec.get(), stream.get()) && opj_end_compress(codec.get(), stream.get()) &&
           file.Problem().empty();
}

} // namespace extract
