#include "extract/ImageConversion.h"

#include "extract/Formats.h"
#include "platform/platform.h"
#include "text/TextRules.h"

#include <FreeImage.h>
#include <memory>

namespace extract {

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// FreeImage's JPEG writer claims 32 bits but takes them only as CMYK.
bool TakesAlpha(FREE_IMAGE_FORMAT fif) {
    return fif != FIF_JPEG && FreeImage_FIFSupportsExportBPP(fif, 32);
}

bool Accepts(FREE_IMAGE_FORMAT fif, FIBITMAP* dib) {
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (!FreeImage_FIFSupportsExportType(fif, type))
        return false;
    if (type != FIT_BITMAP)
        return true;
    const unsigned bpp = FreeImage_GetBPP(dib);
    return FreeImage_FIFSupportsExportBPP(fif, static_cast<int>(bpp)) &&
           (bpp != 32 || TakesAlpha(fif));
}

bool IsGray(FIBITMAP* dib) {
    const FREE_IMAGE_COLOR_TYPE colour = FreeImage_GetColorType(dib);
    return colour == FIC_MINISBLACK || colour == FIC_MINISWHITE;
}

bool HasAlpha(FIBITMAP* dib) {
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    return type == FIT_RGBA16 || type == FIT_RGBAF ||
           (type == FIT_BITMAP && FreeImage_GetBPP(dib) == 32);
}

// The same picture in an 8-bit-per-channel layout the writer takes: gray
// stays gray, and alpha is laid over white when the writer has none.
Bitmap Adapted(FREE_IMAGE_FORMAT fif, FIBITMAP* dib) {
    Bitmap standard;
    if (FreeImage_GetImageType(dib) != FIT_BITMAP) {
        if (HasAlpha(dib))
            standard.reset(FreeImage_ConvertTo32Bits(dib));
        else if (FreeImage_GetImageType(dib) == FIT_UINT16 ||
                 FreeImage_GetImageType(dib) == FIT_FLOAT)
            standard.reset(FreeImage_ConvertToStandardType(dib, TRUE));
        else
            standard.reset(FreeImage_ConvertTo24Bits(dib));
        if (!standard)
            return nullptr;
        dib = standard.get();
        if (Accepts(fif, dib))
            return standard;
    }
    if (HasAlpha(dib) && !TakesAlpha(fif)) {
        RGBQUAD white{255, 255, 255, 0};
        Bitmap flat(FreeImage_Composite(dib, FALSE, &white, nullptr));
        if (flat && Accepts(fif, flat.get()))
            return flat;
        return nullptr;
    }
    if (IsGray(dib) && FreeImage_FIFSupportsExportBPP(fif, 8)) {
        Bitmap gray(FreeImage_ConvertToGreyscale(dib));
        if (gray && Accepts(fif, gray.get()))
            return gray;
    }
    Bitmap colour(HasAlpha(dib) ? FreeImage_ConvertTo32Bits(dib) : FreeImage_ConvertTo24Bits(dib));
    if (colour && Accepts(fif, colour.get()))
        return colour;
    return nullptr;
}

bool Save(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, const std::string& path, int flags) {
    if (!dib)
        return false;
    if (Accepts(fif, dib))
        return FreeImage_Save(fif, dib, path.c_str(), flags) != FALSE;
    const Bitmap adapted = Adapted(fif, dib);
    return adapted && FreeImage_Save(fif, adapted.get(), path.c_str(), flags) != FALSE;
}

} // namespace

FreeImageSession::FreeImageSession() {
    FreeImage_Initialise(FALSE);
}

FreeImageSession::~FreeImageSession() {
    FreeImage_DeInitialise();
}

bool ConvertExtractedImage(const std::string& scratchPath, int imageNumber,
                           const ConversionSettings& settings) {
    const FREE_IMAGE_FORMAT detected = FreeImage_GetFileType(scratchPath.c_str(), 0);
    Bitmap dib;
    if (detected != FIF_UNKNOWN)
        dib.reset(FreeImage_Load(detected, scratchPath.c_str(), 0));
    const std::string scratchExtension =
        text::LowerCase(text::ExtractFileExt(text::ExtractFileName(scratchPath)));
    const OutputFormat out = ChooseFormat(settings.formatText, scratchExtension);
    const std::string target =
        OutputFileName(settings.outputFolder, settings.prefix, imageNumber, out.extension);
    // Written beside the target and moved over it only when complete, so a
    // failed save never costs the file that had the name before.
    const std::string partial =
        text::ExtractFilePath(target) + "." + text::ExtractFileName(target) + ".part";
    bool saved = Save(static_cast<FREE_IMAGE_FORMAT>(out.format), dib.get(), partial, out.flags);
    saved = saved && platform::MoveReplacing(partial, target);
    if (!saved)
        platform::RemoveFile(partial);
    dib.reset();
    platform::RemoveFile(scratchPath);
    return saved;
}

} // namespace extract
