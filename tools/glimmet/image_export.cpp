#include "image_export.h"

#include "ToolContract.h"
#include "big_endian.h"
#include "jpeg_direct.h"
#include "scratch_formats.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace glimmet {

namespace {

bool storedAs(fz_context* c, fz_image* image, int type) {
    fz_compressed_buffer* buffer = fz_compressed_image_buffer(c, image);
    return buffer && buffer->params.type == type;
}

bool storedAsJpeg(fz_context* c, fz_image* image) {
    return storedAs(c, image, FZ_IMAGE_JPEG);
}

// Whether a decoder's warning leaves every pixel as the data holds it: stray
// bytes between JPEG markers, a JBIG2 text region that refers to no
// symbols (it draws nothing, and every segment is known to be whole), or
// JBIG2 data whose end stands for its terminating marker (the region is
// whole by then). Any other warning may stand for pixels lost, so it fails
// the image.
bool costsNoPixel(fz_context* c, fz_image* image, const std::string& warning) {
    if (warning.find("extraneous bytes") != std::string::npos)
        return true;
    return storedAs(c, image, FZ_IMAGE_JBIG2) &&
           (warning.find("refers to no symbol dictionaries") != std::string::npos ||
            warning.find("assuming terminating marker code") != std::string::npos);
}

// MuPDF patches damaged image data up (zeros for what it cannot read) and
// only warns; written out, that would pass a broken image off as a good one.
// A JPEG decides by its own decoding: one whose end marker is missing is
// whole, one that stops before its last row is not.
void requireWhole(fz_context* c, fz_image* image, const std::vector<std::string>& warnings) {
    for (const std::string& warning : warnings) {
        if (costsNoPixel(c, image, warning))
            continue;
        if (storedAsJpeg(c, image) && jpegDecodesWhole(c, image))
            return;
        throw tools::MuError("the image data is damaged: " + warning);
    }
}

// The segments of embedded JBIG2 data, each with the length its header
// gives. A segment cut short is left out by the decoder without a word, and
// the picture comes out blank where it should be.
void requireWholeJbig2(fz_context* c, fz_image* image) {
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);
    if (!cb || cb->params.type != FZ_IMAGE_JBIG2 || cb->params.u.jbig2.embedded == 0)
        return;
    unsigned char* data = nullptr;
    const size_t len = fz_buffer_storage(c, cb->buffer, &data);
    auto be32 = [&](size_t at) { return bigEndian(data + at, 4); };
    size_t at = 0;
    while (at < len) {
        auto cutShort = [&] {
            throw tools::MuError("the image data is damaged: a JBIG2 segment ends early");
        };
        if (len - at < 11)
            cutShort();
        const std::uint32_t number = be32(at);
        const bool longPage = data[at + 4] & 0x40;
        size_t referred = data[at + 5] >> 5;
        size_t pos = at + 6;
        if (referred == 7) { // long form: a count, then a bit a segment
            referred = be32(at + 5) & 0x1fffffff;
            pos = at + 9 + (referred + 8) / 8;
        }
        const size_t referredSize = number <= 256 ? 1 : number <= 65536 ? 2 : 4;
        pos += referred * referredSize + (longPage ? 4 : 1);
        if (pos > len || len - pos < 4)
            cutShort();
        const std::uint32_t dataLength = be32(pos);
        if (dataLength == 0xffffffffu)
            return; // a region of unknown length: its decoder finds its end
        pos += 4;
        if (len - pos < dataLength)
            cutShort();
        at = pos + dataLength;
    }
}

} // namespace

tools::Pixmap decodeWhole(tools::Context& ctx, fz_image* image) {
    fz_context* c = ctx.get();
    ctx.takeWarnings();
    fz_pixmap* pix = tools::guarded(
        c, [&] { return fz_get_pixmap_from_image(c, image, nullptr, nullptr, nullptr, nullptr); });
    tools::Pixmap owned(c, pix);
    requireWhole(c, image, ctx.takeWarnings());
    return owned;
}

tools::Pixmap decodeReduced(tools::Context& ctx, fz_image* image, int w, int h) {
    fz_context* c = ctx.get();
    ctx.takeWarnings();
    // The matrix the picture is drawn with decides how far MuPDF may
    // subsample it.
    fz_matrix ctm = fz_scale(static_cast<float>(w), static_cast<float>(h));
    fz_pixmap* pix = tools::guarded(
        c, [&] { return fz_get_pixmap_from_image(c, image, nullptr, &ctm, nullptr, nullptr); });
    tools::Pixmap owned(c, pix);
    requireWhole(c, image, ctx.takeWarnings());
    return owned;
}

namespace {

// How decoded pixels of a colour space are written: gray and RGB as they
// are; inks that stand for shades of gray (a Separation or DeviceN over
// gray) as gray, for they are gray pictures; every other colour space
// (CMYK, Lab, Separation, DeviceN...) as RGB, the way MuPDF displays it.
struct Display {
    bool direct = true;
    bool grayInks = false;
};

Display displayOf(fz_context* c, fz_colorspace* cs) {
    Display d;
    d.direct = !cs || fz_colorspace_is_gray(c, cs) || fz_colorspace_is_rgb(c, cs);
    d.grayInks = !d.direct && fz_colorspace_is_device_n(c, cs) && cs->u.separation.base &&
                 fz_colorspace_is_gray(c, cs->u.separation.base);
    return d;
}

// The rows of a decoded image in gray or RGB, as displayOf() says, converted
// a band of rows at a time, so that a large image never needs a second
// full-size copy.
class DisplayRows {
public:
    DisplayRows(tools::Context& ctx, const fz_pixmap* pix) : ctx_(ctx), pix_(pix) {
        const Display display = displayOf(ctx.get(), pix->colorspace);
        direct_ = display.direct;
        grayInks_ = display.grayInks;
        colours_ = direct_ ? pix->n - pix->alpha - pix->s : grayInks_ ? 1 : 3;
        if (colours_ != 1 && colours_ != 3)
            throw tools::MuError("unexpected colour layout in the decoded image");
    }

    int width() const { return pix_->w; }
    int height() const { return pix_->h; }
    int colours() const { return colours_; }
    bool hasAlpha() const { return pix_->alpha; }
    int stride() const { return colours_ + pix_->alpha; } // bytes a pixel

    // Row y: colours, then alpha if any, premultiplied as MuPDF keeps it.
    const std::uint8_t* row(int y) {
        if (direct_)
            return pix_->samples + y * pix_->stride;
        if (!band_ || y < bandStart_ || y >= bandStart_ + band_->h)
            convertBand(y - y % kBandRows);
        return band_->samples + (y - bandStart_) * band_->stride;
    }

private:
    static constexpr int kBandRows = 64;

    void convertBand(int y0) {
        fz_context* c = ctx_.get();
        band_.reset();
        const fz_pixmap* src = pix_;
        int rows = std::min(kBandRows, pix_->h - y0);
        fz_colorspace* target = grayInks_ ? fz_device_gray(c) : fz_device_rgb(c);
        fz_pixmap* converted = tools::guarded(c, [&] {
            fz_pixmap* view = fz_new_pixmap_with_data(c, src->colorspace, src->w, rows, src->seps,
                                                      src->alpha, static_cast<int>(src->stride),
                                                      src->samples + y0 * src->stride);
            fz_pixmap* out = nullptr;
            fz_try(c) {
                out = fz_convert_pixmap(c, view, target, nullptr, nullptr, fz_default_color_params,
                                        1);
            }
            fz_always(c) {
                fz_drop_pixmap(c, view);
            }
            fz_catch(c) {
                fz_rethrow(c);
            }
            return out;
        });
        band_ = tools::Pixmap(c, converted);
        bandStart_ = y0;
    }

    tools::Context& ctx_;
    const fz_pixmap* pix_;
    bool direct_ = true;
    bool grayInks_ = false;
    int colours_ = 1;
    tools::Pixmap band_;
    int bandStart_ = 0;
};

std::uint8_t unpremultiply(unsigned v, unsigned a) {
    if (a == 0)
        return 0;
    unsigned out = (v * 255u + a / 2) / a;
    return static_cast<std::uint8_t>(out > 255 ? 255 : out);
}

// A picture stored as JPEG, decoded, under the name that makes the program
// keep it as JPEG: gray as a gray map, colour as RGB.
void writeJpegPixels(ScratchOutput& out, DisplayRows& rows) {
    const size_t rowBytes = static_cast<size_t>(rows.width()) * rows.colours();
    auto copy = [&](int y, std::uint8_t* out) { std::memcpy(out, rows.row(y), rowBytes); };
    if (rows.colours() == 1)
        writePgm(out, rows.width(), rows.height(), copy);
    else
        writePpm(out, rows.width(), rows.height(), copy);
}

void writeColour(ScratchOutput& out, DisplayRows& rows) {
    int w = rows.width();
    writeBmp24(out, w, rows.height(), [&](int y, std::uint8_t* out) {
        const std::uint8_t* in = rows.row(y);
        for (int x = 0; x < w; ++x, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    });
}

void writeGray(ScratchOutput& out, DisplayRows& rows) {
    int w = rows.width();
    writePgm(out, w, rows.height(), [&](int y, std::uint8_t* out) {
        std::memcpy(out, rows.row(y), static_cast<size_t>(w));
    });
}

// A mask's coverage as gray: white where the image shows.
void writeCoverage(ScratchOutput& out, const fz_pixmap* mask) {
    writePgm(out, mask->w, mask->h, [&](int y, std::uint8_t* out) {
        const std::uint8_t* in = mask->samples + y * mask->stride;
        for (int x = 0; x < mask->w; ++x)
            out[x] = in[x * mask->n];
    });
}

// Black (a set bit) where the page is painted: for a stencil where its
// coverage is, for a 1-bit gray image where it is dark.
void writeBilevel(ScratchOutput& out, const fz_pixmap* pix, bool stencil) {
    writePbm(out, pix->w, pix->h, [&](int y, std::uint8_t* out) {
        const std::uint8_t* in = pix->samples + y * pix->stride;
        std::memset(out, 0, (static_cast<size_t>(pix->w) + 7) / 8);
        for (int x = 0; x < pix->w; ++x) {
            std::uint8_t v = in[x * pix->n];
            if (stencil ? v >= 128 : v < 128)
                out[x >> 3] |= 0x80 >> (x & 7);
        }
    });
}

// Colour with straight alpha: the image's own (a colour key, JPEG-2000's
// alpha) times its mask's coverage.
void writeWithAlpha(ScratchOutput& out, DisplayRows& rows, const fz_pixmap* mask) {
    int w = rows.width();
    int n = rows.stride();
    bool rgb = rows.colours() == 3;
    writeBmp32(out, w, rows.height(), [&](int y, std::uint8_t* out) {
        const std::uint8_t* in = rows.row(y);
        const std::uint8_t* m = mask ? mask->samples + y * mask->stride : nullptr;
        for (int x = 0; x < w; ++x, in += n, out += 4) {
            unsigned a = rows.hasAlpha() ? in[n - 1] : 255;
            std::uint8_t r = in[0], g = rgb ? in[1] : in[0], b = rgb ? in[2] : in[0];
            if (rows.hasAlpha()) {
                r = unpremultiply(r, a);
                g = unpremultiply(g, a);
                b = unpremultiply(b, a);
            }
            if (m)
                a = (a * m[x * mask->n] + 127) / 255;
            out[0] = b;
            out[1] = g;
            out[2] = r;
            out[3] = static_cast<std::uint8_t>(a);
        }
    });
}

// A bilevel image goes from its decompressed bits straight into the .pbm:
// through a pixmap it would first spread to a byte a pixel, eight times its
// size. False when the image is not a plain compressed 1-bit gray image or
// stencil.
bool bilevelDirectly(fz_context* c, fz_image* image) {
    if (image->bpc != 1 || image->n != 1 || image->use_colorkey || image->mask)
        return false;
    bool gray = image->colorspace && fz_colorspace_is_gray(c, image->colorspace);
    if (!image->imagemask && !gray)
        return false;
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);
    if (!cb)
        return false;
    switch (cb->params.type) {
    case FZ_IMAGE_RAW:
    case FZ_IMAGE_FAX:
    case FZ_IMAGE_FLATE:
    case FZ_IMAGE_LZW:
    case FZ_IMAGE_RLD:
    case FZ_IMAGE_JBIG2:
        return true;
    default:
        return false;
    }
}

void writeBitsAsPbm(tools::Context& ctx, fz_image* image, ScratchOutput& out) {
    fz_context* c = ctx.get();
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);

    // What a sample shows after the Decode array: a gray image is black
    // where the value is dark, a stencil paints (black) where it is not.
    auto black = [&](float value) { return image->imagemask ? value <= 0.5f : value < 0.5f; };
    bool zeroIsBlack = black(image->decode[0]);
    bool oneIsBlack = black(image->decode[1]);

    ctx.takeWarnings();
    fz_stream* raw =
        tools::guarded(c, [&] { return fz_open_image_decomp_stream_from_buffer(c, cb, nullptr); });
    tools::Ref<fz_stream, fz_drop_stream> stream(c, raw);
    const size_t rowBytes = (static_cast<size_t>(image->w) + 7) / 8;
    const int tailBits = image->w % 8;
    writePbm(out, image->w, image->h, [&](int y, std::uint8_t* row) {
        size_t got = tools::guarded(c, [&] { return fz_read(c, raw, row, rowBytes); });
        if (got != rowBytes)
            throw tools::MuError("the image data is damaged: it ends early");
        for (size_t i = 0; i < rowBytes; ++i) {
            std::uint8_t bits = row[i];
            row[i] =
                zeroIsBlack ? (oneIsBlack ? 0xff : std::uint8_t(~bits)) : (oneIsBlack ? bits : 0);
        }
        if (tailBits)
            row[rowBytes - 1] &= std::uint8_t(0xff << (8 - tailBits));
        if (y == image->h - 1)
            requireWhole(c, image, ctx.takeWarnings());
    });
}

} // namespace

void checkBeforeDecoding(fz_context* c, fz_image* image) {
    for (fz_image* part : {image, image->mask}) {
        if (part) {
            checkJpegMatchesImage(c, part);
            requireWholeJbig2(c, part);
        }
    }
}

namespace {

// The pixels an image decodes to, as far as the image says: MuPDF spreads
// an indexed image to its base, makes a colour key into alpha, and keeps a
// JPEG-2000 picture as the pixmap it decoded at loading.
struct DecodedLayout {
    fz_colorspace* colourSpace = nullptr;
    bool alpha = false;
    bool alphaOfItsOwn = false; // held in the picture's own data
};

DecodedLayout decodedLayout(fz_context* c, fz_image* image) {
    DecodedLayout d;
    d.colourSpace = image->colorspace;
    if (d.colourSpace && fz_colorspace_is_indexed(c, d.colourSpace))
        d.colourSpace = d.colourSpace->u.indexed.base;
    if (const fz_pixmap* tile =
            fz_pixmap_image_tile(c, reinterpret_cast<fz_pixmap_image*>(image))) {
        d.colourSpace = tile->colorspace;
        d.alphaOfItsOwn = tile->alpha;
    }
    d.alpha = image->use_colorkey || d.alphaOfItsOwn;
    return d;
}

// The plan takes the layout from the image's dictionary; pixels that came
// out otherwise would be written wrong.
void requirePlannedLayout(const DisplayRows& rows, const PlannedFile& file) {
    if (file.step != FileStep::WithAlpha && (rows.hasAlpha() || rows.colours() != file.components))
        throw tools::MuError("the image decodes to other pixels than its dictionary says");
}

// The file of a decoded image.
void writeDecoded(tools::Context& ctx, const PlannedFile& file, ScratchNames& names) {
    fz_image* image = file.source;
    tools::Pixmap pix = decodeWhole(ctx, image);
    if (file.step == FileStep::Stencil) {
        names.write(file.extension,
                    [&](ScratchOutput& out) { writeBilevel(out, pix.get(), true); });
        return;
    }
    DisplayRows rows(ctx, pix.get());
    requirePlannedLayout(rows, file);
    tools::Pixmap mask;
    if (file.mask == MaskUse::SameSize)
        mask = decodeWhole(ctx, image->mask);
    names.write(file.extension, [&](ScratchOutput& out) {
        switch (file.step) {
        case FileStep::WithAlpha:
            return writeWithAlpha(out, rows, mask.get());
        case FileStep::JpegPixels:
            return writeJpegPixels(out, rows);
        case FileStep::Bilevel:
            return writeBilevel(out, pix.get(), false);
        case FileStep::Gray:
            return writeGray(out, rows);
        default:
            return writeColour(out, rows);
        }
    });
}

void writePlanned(tools::Context& ctx, const PlannedFile& file, const KeptPicture& kept,
                  ScratchNames& names) {
    fz_context* c = ctx.get();
    fz_image* image = file.source;
    switch (file.step) {
    case FileStep::KeptBytes:
        return names.write(
            file.extension, [&](ScratchOutput& out) { writeKeptPicture(c, kept, out); }, true);
    case FileStep::JpegAsPnm:
        return names.write(file.extension,
                           [&](ScratchOutput& out) { writeJpegAsPnm(c, image, out); });
    case FileStep::BitsAsPbm:
        return names.write(file.extension,
                           [&](ScratchOutput& out) { writeBitsAsPbm(ctx, image, out); });
    case FileStep::MaskAsGray: {
        const tools::Pixmap mask = decodeWhole(ctx, image);
        return names.write(file.extension,
                           [&](ScratchOutput& out) { writeCoverage(out, mask.get()); });
    }
    default:
        return writeDecoded(ctx, file, names);
    }
}

// The file of an image that is decoded first, its layout as the image's
// dictionary says.
PlannedFile plannedDecoded(fz_context* c, fz_image* image, bool sameSizeMask, MaskUse apart) {
    const DecodedLayout layout = decodedLayout(c, image);
    const Display display = displayOf(c, layout.colourSpace);
    const int colours = display.direct
                            ? (layout.colourSpace ? fz_colorspace_n(c, layout.colourSpace) : 1)
                        : display.grayInks ? 1
                                           : 3;
    PlannedFile file{contract::kColour, FileStep::Colour, image->w, image->h, 3, 8, image, apart};
    if (sameSizeMask || layout.alpha) {
        file.step = FileStep::WithAlpha;
        file.components = 4;
        file.mask = sameSizeMask           ? MaskUse::SameSize
                    : layout.alphaOfItsOwn ? MaskUse::OwnAlpha
                                           : MaskUse::ColourKey;
    } else if (storedAsJpeg(c, image)) {
        file.extension = contract::kStoredAsJpeg;
        file.step = FileStep::JpegPixels;
        file.components = colours;
    } else if (colours == 1) {
        const bool bilevel = image->bpc == 1;
        file.extension = bilevel ? contract::kBilevel : contract::kGray;
        file.step = bilevel ? FileStep::Bilevel : FileStep::Gray;
        file.components = 1;
        file.bits = bilevel ? 1 : 8;
    }
    return file;
}

} // namespace

std::vector<PlannedFile> planExport(tools::Context& ctx, fz_image* image, const KeptPicture& kept) {
    fz_context* c = ctx.get();
    checkBeforeDecoding(c, image);
    fz_image* maskImage = image->mask;
    const bool sameSizeMask = maskImage && maskImage->w == image->w && maskImage->h == image->h;
    const MaskUse apart = maskImage && !sameSizeMask ? MaskUse::Separate : MaskUse::None;
    std::vector<PlannedFile> files;
    auto add = [&](const char* extension, FileStep step, int components, int bits, MaskUse mask) {
        files.push_back({extension, step, image->w, image->h, components, bits, image, mask});
    };

    if (kept) {
        add(kept.extension, FileStep::KeptBytes, kept.components, 8, apart);
        files.back().kept = true;
    } else if (!sameSizeMask && canWriteJpegAsPnm(c, image)) {
        add(contract::kStoredAsJpeg, FileStep::JpegAsPnm, image->n, 8, apart);
    } else if (bilevelDirectly(c, image) || image->imagemask) {
        // Neither has a mask of its own to write.
        add(contract::kBilevel, bilevelDirectly(c, image) ? FileStep::BitsAsPbm : FileStep::Stencil,
            1, 1, image->imagemask ? MaskUse::Stencil : MaskUse::None);
        return files;
    } else {
        files.push_back(plannedDecoded(c, image, sameSizeMask, apart));
    }
    if (apart == MaskUse::Separate)
        files.push_back({contract::kGray, FileStep::MaskAsGray, maskImage->w, maskImage->h, 1, 8,
                         maskImage, MaskUse::None});
    return files;
}

void exportImage(tools::Context& ctx, const std::vector<PlannedFile>& plan, const KeptPicture& kept,
                 ScratchNames& names) {
    for (const PlannedFile& file : plan)
        writePlanned(ctx, file, kept, names);
}

} // namespace glimmet
