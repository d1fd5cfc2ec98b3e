#include "image_bound.h"

#include "big_endian.h"
#include "jbig2_bound.h"
#include "run_limits.h"
#include "tool_run.h"

#include <algorithm>
#include <cstdint>
#include <string>

namespace glimmet {

namespace {

// Colour components of a colour space as MuPDF decodes into it.
int components(fz_context* c, pdf_obj* cs, int depth = 0) {
    constexpr int kUnknown = 4;
    if (depth > 8)
        return kUnknown;
    if (pdf_is_name(c, cs)) {
        if (pdf_name_eq(c, cs, PDF_NAME(DeviceGray)) || pdf_name_eq(c, cs, PDF_NAME(G)) ||
            pdf_name_eq(c, cs, PDF_NAME(CalGray)))
            return 1;
        if (pdf_name_eq(c, cs, PDF_NAME(DeviceRGB)) || pdf_name_eq(c, cs, PDF_NAME(RGB)) ||
            pdf_name_eq(c, cs, PDF_NAME(CalRGB)) || pdf_name_eq(c, cs, PDF_NAME(Lab)))
            return 3;
        return kUnknown;
    }
    if (!pdf_is_array(c, cs))
        return cs ? kUnknown : 1;
    pdf_obj* family = pdf_array_get(c, cs, 0);
    if (pdf_name_eq(c, family, PDF_NAME(ICCBased)))
        return std::clamp(pdf_dict_get_int(c, pdf_array_get(c, cs, 1), PDF_NAME(N)), 1, 32);
    if (pdf_name_eq(c, family, PDF_NAME(Indexed)) || pdf_name_eq(c, family, PDF_NAME(I)))
        return components(c, pdf_array_get(c, cs, 1), depth + 1); // spread to its base
    if (pdf_name_eq(c, family, PDF_NAME(Separation)))
        return 1;
    if (pdf_name_eq(c, family, PDF_NAME(DeviceN)))
        return std::clamp(pdf_array_len(c, pdf_array_get(c, cs, 1)), 1, 32);
    return components(c, family, depth + 1);
}

struct CodestreamSize {
    double w = 0, h = 0, components = 0;
};

// The size a JPEG-2000 stream gives itself in its SIZ marker segment, found
// in its first bytes (a JP2 file's boxes come before it).
CodestreamSize jpxSize(fz_context* c, pdf_obj* image) {
    constexpr size_t kLook = 64 * 1024;
    constexpr size_t kSiz = 40;
    CodestreamSize size;
    fz_stream* stm = nullptr;
    unsigned char* head = nullptr;
    fz_var(stm);
    fz_var(head);
    fz_try(c) {
        stm = pdf_open_stream(c, image);
        head = static_cast<unsigned char*>(fz_malloc(c, kLook));
        size_t got = fz_read(c, stm, head, kLook);
        for (size_t i = 0; i + 4 + kSiz <= got; ++i) {
            if (head[i] != 0xff || head[i + 1] != 0x4f || head[i + 2] != 0xff ||
                head[i + 3] != 0x51)
                continue;
            const unsigned char* siz = head + i + 2;
            std::uint32_t x = bigEndian(siz + 6, 4), y = bigEndian(siz + 10, 4);
            std::uint32_t x0 = bigEndian(siz + 14, 4), y0 = bigEndian(siz + 18, 4);
            size.w = x > x0 ? x - x0 : x;
            size.h = y > y0 ? y - y0 : y;
            size.components = bigEndian(siz + 38, 2);
            break;
        }
    }
    fz_always(c) {
        fz_free(c, head);
        fz_drop_stream(c, stm);
    }
    fz_catch(c) {
        size = CodestreamSize(); // unreadable: MuPDF will say so when it decodes
    }
    return size;
}

bool isJpx(fz_context* c, pdf_obj* image) {
    pdf_obj* filter = pdf_dict_get(c, image, PDF_NAME(Filter));
    if (pdf_name_eq(c, filter, PDF_NAME(JPXDecode)))
        return true;
    int n = pdf_array_len(c, filter);
    return n > 0 && pdf_name_eq(c, pdf_array_get(c, filter, n - 1), PDF_NAME(JPXDecode));
}

// Bytes the image's pixels take decoded, with its soft mask or stencil mask
// when `withMasks`. Runs inside MuPDF's frames.
double decodedBytes(fz_context* c, pdf_obj* image, bool withMasks) {
    if (!pdf_is_dict(c, image))
        return 0;
    double w = pdf_dict_get_int(c, image, PDF_NAME(Width));
    double h = pdf_dict_get_int(c, image, PDF_NAME(Height));
    bool stencil = pdf_dict_get_bool(c, image, PDF_NAME(ImageMask));
    double n = stencil ? 1 : components(c, pdf_dict_get(c, image, PDF_NAME(ColorSpace)));
    pdf_obj* smask = pdf_dict_get(c, image, PDF_NAME(SMask));
    pdf_obj* mask = pdf_dict_get(c, image, PDF_NAME(Mask));
    bool alpha = pdf_is_dict(c, smask) || pdf_is_array(c, mask) ||
                 pdf_dict_get_int(c, image, PDF_NAME(SMaskInData)) > 0;
    double perSample = 1;
    if (isJpx(c, image)) {
        CodestreamSize own = jpxSize(c, image);
        w = std::max(w, own.w);
        h = std::max(h, own.h);
        n = std::max(n + alpha, own.components) - alpha;
        // The decoder holds every sample as a 32-bit number before MuPDF
        // makes pixels of it.
        perSample += 4;
    }
    if (w <= 0 || h <= 0)
        return 0; // MuPDF refuses it as it stands
    double bytes = w * h * (n + alpha) * perSample;
    if (withMasks) {
        bytes += decodedBytes(c, smask, false);
        if (pdf_is_stream(c, mask))
            bytes += decodedBytes(c, mask, false);
    }
    return bytes;
}

double inlineBytes(const fz_image* image) {
    double bytes = double(image->w) * image->h * (image->n + (image->use_colorkey ? 1 : 0));
    if (image->mask)
        bytes += double(image->mask->w) * image->mask->h;
    return bytes;
}

std::string amount(double bytes) {
    constexpr double kMiB = 1024.0 * 1024.0;
    if (bytes >= 10 * kMiB)
        return std::to_string(static_cast<std::uint64_t>(bytes / kMiB)) + " MiB";
    return tools::counted(static_cast<long long>(bytes), "byte");
}

std::string tooLarge(double bytes, double bound) {
    return "refused: decoded it would take " + amount(bytes) + ", more than the " + amount(bound) +
           " allowed for one image";
}

} // namespace

double checkImageBound(tools::Context& ctx, pdf_document* doc, const PageImage& found) {
    fz_context* c = ctx.get();
    const double bound = static_cast<double>(tools::imageMemoryBound());
    if (found.image) {
        const double bytes = inlineBytes(found.image.get());
        if (bytes > bound)
            throw ImageTooLarge(tooLarge(bytes, bound));
        return bytes;
    }
    const tools::Object obj = tools::objectByNumber(c, doc, found.objectNumber);
    pdf_obj* o = obj.get();
    const double bytes = tools::guarded(c, [&] { return decodedBytes(c, o, true); });
    if (bytes > bound)
        throw ImageTooLarge(tooLarge(bytes, bound));
    // A bit a pixel to the decoder, but a byte once MuPDF makes pixels of
    // it, and decoding takes as long as the pixels are many.
    const Jbig2Bitmap declared = tools::guarded(c, [&] { return jbig2Declared(c, o, false); });
    if (declared.pixels() > bound)
        throw ImageTooLarge("refused: its JBIG2 data declares a " + std::string(declared.kind) +
                            " of " + std::to_string(declared.width) + " x " +
                            std::to_string(declared.height) + " pixels, more than the " +
                            amount(bound) + " allowed for one image");
    return bytes;
}

void shieldOversizeImages(fz_context* ctx, pdf_obj* resources) {
    pdf_obj* xobjects = pdf_dict_get(ctx, resources, PDF_NAME(XObject));
    const double bound = static_cast<double>(tools::imageMemoryBound());
    int n = pdf_dict_len(ctx, xobjects);
    for (int i = 0; i < n; ++i) {
        pdf_obj* xobj = pdf_dict_get_val(ctx, xobjects, i);
        if (!pdf_is_indirect(ctx, xobj) ||
            !pdf_name_eq(ctx, pdf_dict_get(ctx, xobj, PDF_NAME(Subtype)), PDF_NAME(Image)) ||
            (decodedBytes(ctx, xobj, true) <= bound &&
             jbig2Declared(ctx, xobj, true).pixels() <= bound)) // globals decode as it loads
            continue;
        fz_image* known = static_cast<fz_image*>(pdf_find_item(ctx, fz_drop_image_imp, xobj));
        if (known) {
            fz_drop_image(ctx, known);
            continue;
        }
        fz_pixmap* pixel = fz_new_pixmap(ctx, fz_device_gray(ctx), 1, 1, nullptr, 0);
        fz_image* standIn = nullptr;
        fz_var(standIn);
        fz_try(ctx) {
            fz_clear_pixmap(ctx, pixel);
            standIn = fz_new_image_from_pixmap(ctx, pixel, nullptr);
            pdf_store_item(ctx, xobj, standIn, 1);
        }
        fz_always(ctx) {
            fz_drop_image(ctx, standIn);
            fz_drop_pixmap(ctx, pixel);
        }
        fz_catch(ctx) {
            fz_rethrow(ctx);
        }
    }
}

} // namespace glimmet
