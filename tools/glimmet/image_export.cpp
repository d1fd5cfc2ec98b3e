#include "image_export.h"

#include "scratch_file.h"

#include <cstdint>
#include <cstdio>

namespace glimmet {

std::string ScratchNames::next(const char* extension) {
    char number[16];
    std::snprintf(number, sizeof number, "%03d", count_++);
    return root_ + "-" + number + extension;
}

namespace {

// MuPDF patches damaged image data up (zeros for what it cannot read) and
// only warns; written out, that would pass a broken image off as a good one.
tools::Pixmap decode(tools::Context& ctx, fz_image* image) {
    fz_context* c = ctx.get();
    ctx.takeWarnings();
    fz_pixmap* pix = tools::guarded(
        c, [&] { return fz_get_pixmap_from_image(c, image, nullptr, nullptr, nullptr, nullptr); });
    tools::Pixmap owned(c, pix);
    for (const std::string& warning : ctx.takeWarnings()) {
        // Stray bytes between JPEG markers cost no pixels.
        if (warning.find("extraneous bytes") == std::string::npos)
            throw tools::MuError("the image data is damaged: " + warning);
    }
    return owned;
}

bool isGray(fz_context* c, const fz_pixmap* pix) {
    return pix->colorspace && fz_colorspace_is_gray(c, pix->colorspace);
}

// Gray and RGB pixmaps are written as they are; every other colour space
// (CMYK, Lab, Separation, DeviceN...) goes to RGB the way MuPDF displays it.
tools::Pixmap displayColours(tools::Context& ctx, tools::Pixmap pix) {
    fz_context* c = ctx.get();
    if (!pix->colorspace || isGray(c, pix.get()) || fz_colorspace_is_rgb(c, pix->colorspace))
        return pix;
    fz_pixmap* src = pix.get();
    fz_pixmap* rgb = tools::guarded(c, [&] {
        return fz_convert_pixmap(c, src, fz_device_rgb(c), nullptr, nullptr,
                                 fz_default_color_params, 1);
    });
    return tools::Pixmap(c, rgb);
}

// Read access to a gray or RGB pixmap, with MuPDF's premultiplied alpha
// undone.
class Pixels {
public:
    explicit Pixels(const fz_pixmap* pix)
        : samples_(pix->samples), stride_(pix->stride), n_(pix->n), alpha_(pix->alpha),
          colours_(pix->n - pix->alpha - pix->s) {}

    int colours() const { return colours_; }
    bool hasAlpha() const { return alpha_; }
    std::uint8_t alpha(int x, int y) const { return alpha_ ? at(x, y)[n_ - 1] : 255; }
    // Colour component i (0 for gray) as straight, not premultiplied, value.
    std::uint8_t colour(int x, int y, int i) const {
        const std::uint8_t* p = at(x, y);
        if (!alpha_)
            return p[i];
        unsigned a = p[n_ - 1];
        if (a == 0)
            return 0;
        unsigned v = (p[i] * 255u + a / 2) / a;
        return v > 255 ? 255 : static_cast<std::uint8_t>(v);
    }
    // The first channel as it is: a mask's coverage.
    std::uint8_t raw(int x, int y) const { return at(x, y)[0]; }
    const std::uint8_t* row(int y) const { return samples_ + y * stride_; }

private:
    const std::uint8_t* at(int x, int y) const { return samples_ + y * stride_ + x * n_; }

    const std::uint8_t* samples_;
    std::ptrdiff_t stride_;
    int n_;
    bool alpha_;
    int colours_;
};

std::uint8_t rgbAt(const Pixels& px, int x, int y, int i) {
    return px.colour(x, y, px.colours() == 1 ? 0 : i);
}

void writeJpegPixels(const std::string& path, const fz_pixmap* pix) {
    Pixels px(pix);
    writePpm(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < pix->w; ++x)
            for (int i = 0; i < 3; ++i)
                *row++ = rgbAt(px, x, y, i);
    });
}

void writeColour(const std::string& path, const fz_pixmap* pix) {
    Pixels px(pix);
    writeBmp24(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < pix->w; ++x)
            for (int i = 2; i >= 0; --i)
                *row++ = rgbAt(px, x, y, i);
    });
}

void writeGray(const std::string& path, const fz_pixmap* pix) {
    Pixels px(pix);
    writePgm(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < pix->w; ++x)
            row[x] = px.colour(x, y, 0);
    });
}

// A mask's coverage as gray: white where the image shows.
void writeCoverage(const std::string& path, const fz_pixmap* pix) {
    Pixels px(pix);
    writePgm(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < pix->w; ++x)
            row[x] = px.raw(x, y);
    });
}

// Black (a set bit) where the page is painted: for a stencil where its
// coverage is, for a 1-bit gray image where it is dark.
void writeBilevel(const std::string& path, const fz_pixmap* pix, bool stencil) {
    Pixels px(pix);
    writePbm(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < (pix->w + 7) / 8; ++x)
            row[x] = 0;
        for (int x = 0; x < pix->w; ++x) {
            bool black = stencil ? px.raw(x, y) >= 128 : px.colour(x, y, 0) < 128;
            if (black)
                row[x >> 3] |= 0x80 >> (x & 7);
        }
    });
}

void writeWithAlpha(const std::string& path, const fz_pixmap* pix, const fz_pixmap* mask) {
    Pixels px(pix);
    Pixels mk(mask ? mask : pix);
    writeBmp32(path, pix->w, pix->h, [&](int y, std::uint8_t* row) {
        for (int x = 0; x < pix->w; ++x) {
            for (int i = 2; i >= 0; --i)
                *row++ = rgbAt(px, x, y, i);
            unsigned a = px.alpha(x, y);
            if (mask)
                a = (a * mk.raw(x, y) + 127) / 255;
            *row++ = static_cast<std::uint8_t>(a);
        }
    });
}

bool storedAsJpeg(fz_context* c, fz_image* image) {
    fz_compressed_buffer* buffer = fz_compressed_image_buffer(c, image);
    return buffer && buffer->params.type == FZ_IMAGE_JPEG;
}

} // namespace

void exportImage(tools::Context& ctx, fz_image* image, ScratchNames& names) {
    fz_context* c = ctx.get();
    fz_image* maskImage = image->mask;
    bool sameSizeMask = maskImage && maskImage->w == image->w && maskImage->h == image->h;

    tools::Pixmap pix = decode(ctx, image);
    if (image->imagemask) {
        writeBilevel(names.next(".pbm"), pix.get(), true);
        return;
    }
    pix = displayColours(ctx, std::move(pix));

    if (sameSizeMask || pix->alpha) {
        tools::Pixmap mask;
        if (sameSizeMask)
            mask = decode(ctx, maskImage);
        writeWithAlpha(names.next(".bmp"), pix.get(), mask.get());
        return;
    }
    if (storedAsJpeg(c, image))
        writeJpegPixels(names.next(".ppm"), pix.get());
    else if (isGray(c, pix.get()) && image->bpc == 1)
        writeBilevel(names.next(".pbm"), pix.get(), false);
    else if (isGray(c, pix.get()))
        writeGray(names.next(".pgm"), pix.get());
    else
        writeColour(names.next(".bmp"), pix.get());
    pix.reset();

    if (maskImage) {
        tools::Pixmap mask = decode(ctx, maskImage);
        writeCoverage(names.next(".pgm"), mask.get());
    }
}

} // namespace glimmet
