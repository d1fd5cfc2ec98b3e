#include "image_listing.h"

#include "ToolContract.h"
#include "image_export.h"
#include "tool_run.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>

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

// The encoding a filter name stands for; the last filter of a chain is the
// picture's own.
const char* encodingOfFilter(fz_context* c, pdf_obj* filter) {
    if (pdf_is_array(c, filter))
        filter = pdf_array_get(c, filter, pdf_array_len(c, filter) - 1);
    struct Known {
        pdf_obj* name;
        const char* encoding;
    };
    const Known known[] = {
        {PDF_NAME(DCTDecode), "jpeg"},      {PDF_NAME(JPXDecode), "jpx"},
        {PDF_NAME(JBIG2Decode), "jbig2"},   {PDF_NAME(CCITTFaxDecode), "ccitt"},
        {PDF_NAME(FlateDecode), "flate"},   {PDF_NAME(LZWDecode), "lzw"},
        {PDF_NAME(RunLengthDecode), "rle"},
    };
    for (const Known& k : known)
        if (pdf_name_eq(c, filter, k.name))
            return k.encoding;
    return "raw";
}

// One kListedImage line of `fields`, with its mark when it has one.
void appendListed(const std::string* fields, std::size_t count, const std::string& mark,
                  std::string& lines) {
    lines += contract::kListedImage;
    for (std::size_t i = 0; i < count; ++i)
        lines += contract::kListSeparator + fields[i];
    if (!mark.empty())
        lines += contract::kListSeparator + mark;
    lines += '\n';
}

std::string resolutionText(int w, int h, const fz_matrix& at) {
    char resolution[64];
    std::snprintf(resolution, sizeof resolution, "%.1f%c%.1f", perInch(w, at.a, at.b),
                  contract::kListSeparator, perInch(h, at.c, at.d));
    return resolution;
}

using Colorspace = tools::Ref<fz_colorspace, fz_drop_colorspace>;

std::string usesText(const PageImage& found) {
    std::string text;
    const auto add = [&](const fz_matrix& m) {
        char use[160];
        std::snprintf(use, sizeof use, "%.6g %.6g %.6g %.6g %.6g %.6g", m.a, m.b, m.c, m.d, m.e,
                      m.f);
        text += (text.empty() ? "" : std::string(1, contract::kUseSeparator)) + use;
    };
    add(found.placement);
    for (const fz_matrix& use : found.laterUses)
        add(use);
    return text;
}

// Whether the written file holds the profile: the document's own bytes when
// they carry it themselves, decoded samples when they keep the profile's
// colours (gray or RGB, not converted).
bool carried(fz_context* c, const IccProfile& profile, const PlannedFile& file,
             const KeptPicture& kept) {
    if (file.kept) {
        unsigned char* data = nullptr;
        const std::size_t size = fz_buffer_storage(c, kept.bytes.get(), &data);
        return kept.extension == std::string(contract::kKeptJpeg)
                   ? jpegCarriesProfile(data, size)
                   : !kept.bareCodestream && jp2CarriesProfile(data, size);
    }
    const bool alpha = file.mask == MaskUse::SameSize || file.mask == MaskUse::ColourKey ||
                       file.mask == MaskUse::OwnAlpha;
    const int colours = alpha ? file.components - 1 : file.components;
    return (profile.components == 1 || profile.components == 3) && colours == profile.components;
}

// The profile fields of a file: its digest, whether the file carries it, and
// its description.
std::array<std::string, 3> profileFields(fz_context* c, const IccProfile* profile,
                                         const PlannedFile& file, const KeptPicture& kept) {
    if (!profile)
        return {contract::kNoDigest, contract::kNoDigest, ""};
    return {profile->sha256,
            carried(c, *profile, file, kept) ? contract::kProfileCarried
                                             : contract::kProfileDropped,
            profile->description};
}

} // namespace

int listImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
              const std::vector<PlannedFile>& files, const KeptPicture& kept,
              const std::optional<LeftOut>& leftOut, IccProfiles& profiles, std::string& lines) {
    fz_context* c = ctx.get();
    fz_image* image = files.front().source;
    tools::Object object;
    if (found.objectNumber > 0)
        object = tools::objectByNumber(c, doc, found.objectNumber);
    const fz_matrix& at = found.placement;
    const IccProfile* profile = profiles.of(ctx, doc, found.objectNumber);
    const std::string uses = usesText(found);
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
        const auto [digest, carries, name] =
            profileFields(c, isMask ? nullptr : profile, file, kept);
        const std::string fields[] = {std::to_string(page),
                                      std::to_string(file.w),
                                      std::to_string(file.h),
                                      colourSpace,
                                      std::to_string(file.components),
                                      std::to_string(file.bits),
                                      encodingOf(c, file.source),
                                      mask,
                                      resolutionText(file.w, file.h, at),
                                      std::to_string(bytes),
                                      file.kept ? contract::kOutputKept : contract::kOutputEncoded,
                                      std::to_string(found.objectNumber),
                                      std::to_string(found.numberOnPage),
                                      uses,
                                      digest,
                                      carries,
                                      name};
        std::string mark;
        if (leftOut && leftOut->small)
            mark = contract::kListedSmall;
        else if (leftOut)
            mark = std::string(contract::kListedRepeat) + ' ' +
                   std::to_string(leftOut->repeatOf + (&file - files.data()));
        appendListed(fields, std::size(fields), mark, lines);
    }
    return leftOut ? 0 : static_cast<int>(files.size());
}

const IccProfile* profileToWrite(tools::Context& ctx, pdf_document* doc, const PageImage& found,
                                 const std::vector<PlannedFile>& files, const KeptPicture& kept,
                                 IccProfiles& profiles) {
    if (files.front().kept)
        return nullptr;
    const IccProfile* profile = profiles.of(ctx, doc, found.objectNumber);
    return profile && carried(ctx.get(), *profile, files.front(), kept) ? profile : nullptr;
}

void listFailedImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
                     std::string& lines) {
    if (found.objectNumber <= 0)
        return;
    fz_context* c = ctx.get();
    const tools::Object object = tools::objectByNumber(c, doc, found.objectNumber);
    pdf_obj* dict = object.get();
    int w = 0, h = 0, bits = 0;
    const char* encoding = "raw";
    long long bytes = 0;
    tools::guarded(c, [&] {
        w = pdf_dict_get_int(c, dict, PDF_NAME(Width));
        h = pdf_dict_get_int(c, dict, PDF_NAME(Height));
        bits = pdf_dict_get_bool(c, dict, PDF_NAME(ImageMask))
                   ? 1
                   : pdf_dict_get_int(c, dict, PDF_NAME(BitsPerComponent));
        encoding = encodingOfFilter(c, pdf_dict_get(c, dict, PDF_NAME(Filter)));
        bytes = storedBytes(c, dict, nullptr);
    });
    // A colour space that cannot be read leaves the picture without one.
    Colorspace space;
    try {
        space = Colorspace(c, tools::guarded(c, [&] {
                               pdf_obj* named = pdf_dict_get(c, dict, PDF_NAME(ColorSpace));
                               return named ? pdf_load_colorspace(c, named) : nullptr;
                           }));
    } catch (const tools::MuError&) {
    }
    const std::string fields[] = {std::to_string(page),
                                  std::to_string(std::max(w, 0)),
                                  std::to_string(std::max(h, 0)),
                                  colourSpaceOf(c, space.get(), false),
                                  std::to_string(space ? fz_colorspace_n(c, space.get()) : 0),
                                  std::to_string(std::max(bits, 0)),
                                  encoding,
                                  contract::kMaskNone,
                                  resolutionText(w, h, found.placement),
                                  std::to_string(bytes),
                                  contract::kOutputEncoded,
                                  std::to_string(found.objectNumber),
                                  std::to_string(found.numberOnPage),
                                  usesText(found),
                                  contract::kNoDigest,
                                  contract::kNoDigest,
                                  ""};
    appendListed(fields, std::size(fields), contract::kListedFailed, lines);
}

} // namespace glimmet
