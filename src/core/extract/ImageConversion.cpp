#include "extract/ImageConversion.h"

#include "extract/Formats.h"
#include "extract/ImageFiles.h"
#include "extract/LeftFiles.h"
#include "extract/SmallJpeg2000.h"
#include "platform/Files.h"
#include "platform/WorkingFile.h"
#include "text/TextRules.h"

#include <FreeImage.h>
#include <algorithm>
#include <cmath>

namespace extract {

namespace {

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

// A bilevel scan made 8-bit gray for the JPEG writer, eight pixels a byte
// through a table: FreeImage's own conversion took longer than the scan's
// decoding did.
FIBITMAP* BilevelToGray(FIBITMAP* dib) {
    const unsigned w = FreeImage_GetWidth(dib);
    const unsigned h = FreeImage_GetHeight(dib);
    FIBITMAP* gray = FreeImage_Allocate(static_cast<int>(w), static_cast<int>(h), 8);
    if (!gray)
        return nullptr;
    RGBQUAD* palette = FreeImage_GetPalette(gray);
    for (unsigned i = 0; i < 256; ++i)
        palette[i] = RGBQUAD{static_cast<BYTE>(i), static_cast<BYTE>(i), static_cast<BYTE>(i), 0};
    const RGBQUAD* two = FreeImage_GetPalette(dib);
    const BYTE levels[2] = {
        FreeImage_GetColorType(dib) == FIC_MINISWHITE ? BYTE(255) : two[0].rgbRed,
        FreeImage_GetColorType(dib) == FIC_MINISWHITE ? BYTE(0) : two[1].rgbRed};
    BYTE table[256][8];
    for (unsigned v = 0; v < 256; ++v)
        for (unsigned bit = 0; bit < 8; ++bit)
            table[v][bit] = levels[(v >> (7 - bit)) & 1];
    for (unsigned y = 0; y < h; ++y) {
        const BYTE* in = FreeImage_GetScanLine(dib, static_cast<int>(y));
        BYTE* out = FreeImage_GetScanLine(gray, static_cast<int>(y));
        unsigned x = 0;
        for (; x + 8 <= w; x += 8)
            std::copy(table[in[x / 8]], table[in[x / 8]] + 8, out + x);
        for (; x < w; ++x)
            out[x] = table[in[x / 8]][x % 8];
    }
    FreeImage_CloneMetadata(gray, dib);
    FreeImage_SetDotsPerMeterX(gray, FreeImage_GetDotsPerMeterX(dib));
    FreeImage_SetDotsPerMeterY(gray, FreeImage_GetDotsPerMeterY(dib));
    return gray;
}

// A 16-bit or floating-point picture with 8-bit samples: gray stays gray,
// alpha stays alpha.
Bitmap EightBitSamples(FIBITMAP* dib) {
    const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
    if (HasAlpha(dib))
        return Bitmap(FreeImage_ConvertTo32Bits(dib));
    if (type == FIT_UINT16 || type == FIT_FLOAT)
        return Bitmap(FreeImage_ConvertToStandardType(dib, TRUE));
    return Bitmap(FreeImage_ConvertTo24Bits(dib));
}

// The same picture in an 8-bit-per-channel layout the writer takes: gray
// stays gray, and alpha is laid over white when the writer has none.
Bitmap Adapted(FREE_IMAGE_FORMAT fif, FIBITMAP* dib) {
    Bitmap standard;
    if (FreeImage_GetImageType(dib) != FIT_BITMAP) {
        standard = EightBitSamples(dib);
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
        Bitmap gray(FreeImage_GetBPP(dib) == 1 ? BilevelToGray(dib)
                                               : FreeImage_ConvertToGreyscale(dib));
        if (gray && Accepts(fif, gray.get()))
            return gray;
    }
    Bitmap colour(HasAlpha(dib) ? FreeImage_ConvertTo32Bits(dib) : FreeImage_ConvertTo24Bits(dib));
    if (colour && Accepts(fif, colour.get()))
        return colour;
    return nullptr;
}

// Gives the picture its resolution and profile, which every writer then
// stores as its format holds them.
void Carry(FIBITMAP* dib, const FileExtras& extras, const std::string& profile) {
    const auto perMetre = [](double perInch) {
        return static_cast<unsigned>(std::lround(perInch / 0.0254));
    };
    const auto known = [](double v) { return std::isfinite(v) && v > 0 && v < 1e6; };
    if (known(extras.xResolution) && known(extras.yResolution)) {
        FreeImage_SetDotsPerMeterX(dib, perMetre(extras.xResolution));
        FreeImage_SetDotsPerMeterY(dib, perMetre(extras.yResolution));
    }
    if (!profile.empty() && ProfileFits(dib, profile))
        FreeImage_CreateICCProfile(dib, const_cast<char*>(profile.data()),
                                   static_cast<long>(profile.size()));
    else
        FreeImage_DestroyICCProfile(dib);
}

bool Write(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, platform::WorkingFile& file, int flags) {
    if (fif == FIF_JP2 && TooSmallForFreeImageJpeg2000(dib)) {
        // That writer takes 8-bit samples only.
        if (FreeImage_GetImageType(dib) == FIT_BITMAP)
            return SaveSmallJpeg2000(dib, file, flags);
        const Bitmap standard = EightBitSamples(dib);
        return standard && SaveSmallJpeg2000(standard.get(), file, flags);
    }
    return SaveImage(fif, dib, file, flags);
}

bool Save(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, platform::WorkingFile& file, int flags,
          const FileExtras& extras, const std::string& profile) {
    if (!dib)
        return false;
    if (Accepts(fif, dib)) {
        Carry(dib, extras, profile);
        return Write(fif, dib, file, flags);
    }
    const Bitmap adapted = Adapted(fif, dib);
    if (adapted)
        Carry(adapted.get(), extras, profile);
    return adapted && Write(fif, adapted.get(), file, flags);
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
    std::string target;
    return ConvertImage(scratchPath, NumberedName(settings.prefix, imageNumber), settings,
                        target) == Converted::Written;
}

Converted WriteOutputFile(const std::string& target, bool keepExisting,
                          const std::function<bool(platform::WorkingFile&)>& write,
                          OutputProblem& problem, WrittenFile* written, bool hash) {
    // A name of this run's own, created new: a link planted in the folder
    // is never written through, and two runs into one folder never share a
    // file.
    platform::WorkingFile file(text::ExtractFilePath(target), MarkedPrefix(kWorkingFilePrefix));
    // Hashed while its bytes are at hand, rather than read back later.
    if (written && hash)
        file.HashAsWritten();
    // A file that cannot be made or filled says the same of the next.
    if (!file.Created() || !write(file) || !file.Complete()) {
        problem = {file.Problem(), !file.Problem().empty()};
        return Converted::Failed;
    }
    switch (file.Publish(target, keepExisting)) {
    case platform::WorkingFile::Outcome::Published:
        if (written)
            *written = {file.Size(), file.Digest()};
        return Converted::Written;
    case platform::WorkingFile::Outcome::NameTaken:
        return Converted::Kept;
    case platform::WorkingFile::Outcome::Failed:
        break;
    }
    // Only this name may be at fault (a folder has it, say), unless the
    // folder went meanwhile.
    problem = {file.Problem(), !platform::FolderExists(text::ExtractFilePath(target))};
    return Converted::Failed;
}

namespace {

OutputFormat FormatOf(const std::string& scratchPath, const ConversionSettings& settings) {
    const std::string scratchExtension =
        text::LowerCase(text::ExtractFileExt(text::ExtractFileName(scratchPath)));
    return ChooseFormat(settings.formatText, scratchExtension, settings.jpegQuality);
}

} // namespace

std::string OutputTarget(const std::string& scratchPath, const std::string& name,
                         const ConversionSettings& settings) {
    return NamedFile(settings.outputFolder, name, FormatOf(scratchPath, settings).extension);
}

Converted ConvertImage(const std::string& scratchPath, const std::string& name,
                       const ConversionSettings& settings, std::string& target,
                       OutputProblem* problem, WrittenFile* written, const FileExtras& extras) {
    // The profile goes with its scratch file, whatever becomes of it.
    const std::string profile =
        extras.profilePath.empty() ? std::string() : ReadProfile(extras.profilePath);
    if (!extras.profilePath.empty())
        platform::RemoveFile(extras.profilePath);
    const OutputFormat out = FormatOf(scratchPath, settings);
    target = NamedFile(settings.outputFolder, name, out.extension);
    // Nothing to decode for a name that is kept anyway.
    if (settings.keepExisting && (platform::FileExists(target) || platform::FolderExists(target))) {
        platform::RemoveFile(scratchPath);
        return Converted::Kept;
    }
    OutputProblem reason;
    Converted result = Converted::Failed;
    if (out.copied) {
        result = WriteOutputFile(
            target, settings.keepExisting,
            [&](platform::WorkingFile& file) { return CopyBytes(scratchPath, file); }, reason,
            written, settings.hashFiles);
    } else {
        const FREE_IMAGE_FORMAT detected = FreeImage_GetFileType(scratchPath.c_str(), 0);
        Bitmap dib;
        bool known = false;
        // FreeImage names every portable map PBM when it looks at one.
        if (detected == FIF_PBM || detected == FIF_PBMRAW || detected == FIF_PGMRAW ||
            detected == FIF_PPMRAW)
            dib = LoadPnm(scratchPath, known);
        if (!known && detected != FIF_UNKNOWN)
            dib.reset(FreeImage_Load(detected, scratchPath.c_str(), 0));
        const auto write = [&](const std::string& carried) {
            return WriteOutputFile(
                target, settings.keepExisting,
                [&](platform::WorkingFile& file) {
                    return Save(static_cast<FREE_IMAGE_FORMAT>(out.format), dib.get(), file,
                                out.flags, extras, carried);
                },
                reason, written, settings.hashFiles);
        };
        if (dib)
            result = write(profile);
        // A writer may refuse a profile it finds odd: the picture still
        // comes out, without it.
        if (dib && result == Converted::Failed && reason.reason.empty() && !profile.empty())
            result = write({});
    }
    if (problem)
        *problem = reason;
    platform::RemoveFile(scratchPath);
    return result;
}

} // namespace extract
