#include "image_listing.h"

#include "ToolContract.h"
#include "image_export.h"
#include "tool_run.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace glimmet {

namespace {

const char* encodingOf(fz_context* c, fz_image* image) {
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);
    if (!cb)
        // MuPDF decodes JPEG-2000 as it loads it and keeps the pixels.
        return fz_pixmap_image_tile(c, reinterpret_cast<fz_pixmap_image*>(image)) ? "jpx" : "raw";
    switch (cb->params.type) {
    case FZ_IMAGE_JPEG:
        return "jpeg";
    case FZ_IMAGE_JPX:
        return "jpx";
    case FZ_IMAGE_JBIG2:
        return "jbig2";
    case FZ_IMAGE_FAX:
        return "ccitt";
    case FZ_IMAGE_FLATE:
        return "flate";
    case FZ_IMAGE_LZW:
        return "lzw";
    case FZ_IMAGE_RLD:
        return "rle";
    default:
        return "raw";
    }
}

// MuPDF's own name, which for an indexed space or inks names the base too.
// A soft mask is gray whatever it says; a stencil has no colours.
std::string colourSpaceOf(fz_context* c, fz_colorspace* cs, bool softMask) {
    if (!cs)
        return softMask ? "DeviceGray" : "none";
    const char* name = fz_colorspace_name(c, cs);
    return tools::oneLine(name ? name : "");
}

// The dictionary of an image's mask, when it has one of its own.
pdf_obj* maskDictionary(fz_context* c, pdf_obj* image) {
    pdf_obj* smask = pdf_dict_get(c, image, PDF_NAME(SMask));
    if (pdf_is_stream(c, smask))
        return smask;
    pdf_obj* mask = pdf_dict_get(c, image, PDF_NAME(Mask));
    return pdf_is_stream(c, mask) ? mask : nullptr;
}

// What the document holds of the picture: the stream's length, or for an
// inline image its data as read.
long long storedBytes(fz_context* c, pdf_obj* dict, fz_image* image) {
    if (dict)
        return pdf_to_int64(c, pdf_dict_get(c, dict, PDF_NAME(Length)));
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);
    unsigned char* data = nullptr;
    return cb && cb->buffer ? static_cast<long long>(fz_buffer_storage(c, cb->buffer, &data)) : 0;
}

const char* maskText(fz_context* c, MaskUse use, pdf_obj* dict) {
    switch (use) {
    case MaskUse::None:
        return contract::kMaskNone;
    case MaskUse::SameSize:
        return pdf_is_stream(c, pdf_dict_get(c, dict, PDF_NAME(SMask))) ? contract::kMaskSoft
                                                                        : contract::kMaskSameSize;
    case MaskUse::ColourKey:
        return contract::kMaskColourKey;
    case MaskUse::OwnAlpha:
        return contract::kMaskSoft;
    case MaskUse::Stencil:
        return contract::kMaskStencil;
    case MaskUse::Separate:
        return contract::kMaskSeparate;
    }
    return contract::kMaskNone;
}

// Pixels per inch along one side of the image as placed: `pixels` over the
// side's length in points.
double perInch(int pixels, float x, float y) {
    const double points = std::hypot(x, y);
    const double resolution = points > 0 ? pixels * 72.0 / points : 0.0;
    return std::isfinite(resolution) ? resolution : 0.0;
}

} // namespace

int listImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
              const std::vector<PlannedFile>& files, const std::optional<LeftOut>& leftOut,
              std::string& lines) {
    fz_context* c = ctx.get();
    fz_image* image = files.front().source;
    tools::Object object;
    if (found.objectNumber > 0)
        object = tools::objectByNumber(c, doc, found.objectNumber);
    const fz_matrix& at = found.placement;
    for (const PlannedFile& file : files) {
        const bool isMask = file.source != image;
        std::string colourSpace, mask;
        long long bytes = 0;
        tools::guarded(c, [&] {
            pdf_obj* dict = isMask ? maskDictionary(c, object.get()) : object.get();
            const bool softMask =
                isMask && pdf_is_stream(c, pdf_dict_get(c, object.get(), PDF_NAME(SMask)));
            colourSpace = colourSpaceOf(c, file.source->colorspace, softMask);
            mask = maskText(c, file.mask, dict);
            bytes = storedBytes(c, dict, file.source);
        });
        char resolution[64];
        std::snprintf(resolution, sizeof resolution, "%.1f%c%.1f", perInch(file.w, at.a, at.b),
                      contract::kListSeparator, perInch(file.h, at.c, at.d));
        const std::string fields[] = {std::to_string(page),
                                      std::to_string(file.w),
                                      std::to_string(file.h),
                                      colourSpace,
                                      std::to_string(file.components),
                                      std::to_string(file.bits),
                                      encodingOf(c, file.source),
                                      mask,
                                      resolution,
                                      std::to_string(bytes),
                                      file.kept ? contract::kOutputKept : contract::kOutputEncoded,
                                      std::to_string(found.objectNumber),
                                      std::to_string(found.numberOnPage)};
        lines += contract::kListedImage;
        for (const std::string& field : fields)
            lines += contract::kListSeparator + field;
        if (leftOut && leftOut->small)
            lines += contract::kListSeparator + std::string(contract::kListedSmall);
        else if (leftOut)
            lines += contract::kListSeparator + std::string(contract::kListedRepeat) + ' ' +
                     std::to_string(leftOut->repeatOf + (&file - files.data()));
        lines += '\n';
    }
    return leftOut ? 0 : static_cast<int>(files.size());
}

} // namespace glimmet
