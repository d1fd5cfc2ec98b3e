#include "extract/ImageConversion.h"

#include "extract/Formats.h"
#include "platform/platform.h"
#include "text/TextRules.h"

#include <FreeImage.h>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace extract {

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// One number of a binary PNM header, after blanks and comments.
bool HeaderNumber(std::FILE* f, unsigned long& value) {
    int c = std::fgetc(f);
    while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(f);
        c = std::fgetc(f);
    }
    if (c < '0' || c > '9')
        return false;
    value = 0;
    for (; c >= '0' && c <= '9'; c = std::fgetc(f)) {
        value = value * 10 + static_cast<unsigned long>(c - '0');
        if (value > 1'000'000)
            return false;
    }
    // One blank ends the number; after the last one the samples begin.
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The tool's binary bitmaps, graymaps and pixmaps with 8-bit samples, read
// a row at a time into the bitmap FreeImage would make of them. FreeImage's
// own reader takes them a sample at a time, which cost more than decoding
// the picture did, and it fills a file cut short with zeros. `known` is
// false for anything else, which is left to FreeImage.
Bitmap LoadPnm(const std::string& path, bool& known) {
    known = false;
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
    if (!f || std::fgetc(f.get()) != 'P')
        return nullptr;
    const int kind = std::fgetc(f.get());
    if (kind != '4' && kind != '5' && kind != '6')
        return nullptr;
    unsigned long w = 0, h = 0, maximum = 1;
    if (!HeaderNumber(f.get(), w) || !HeaderNumber(f.get(), h) || w == 0 || h == 0 ||
        (kind != '4' && (!HeaderNumber(f.get(), maximum) || maximum != 255)))
        return nullptr;
    known = true;
    const unsigned bpp = kind == '4' ? 1 : kind == '5' ? 8 : 24;
    Bitmap dib(FreeImage_Allocate(static_cast<int>(w), static_cast<int>(h), static_cast<int>(bpp)));
    if (!dib)
        return nullptr;
    if (bpp <= 8) {
        RGBQUAD* palette = FreeImage_GetPalette(dib.get());
        const unsigned colours = 1u << bpp;
        for (unsigned i = 0; i < colours; ++i) {
            const BYTE v = static_cast<BYTE>(i * 255 / (colours - 1));
            palette[i] = RGBQUAD{v, v, v, 0};
        }
    }
    const std::size_t rowBytes = kind == '4' ? (w + 7) / 8 : w * (bpp / 8);
    std::vector<std::uint8_t> row(rowBytes);
    for (unsigned long y = 0; y < h; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib.get(), static_cast<int>(h - 1 - y));
        if (std::fread(row.data(), 1, rowBytes, f.get()) != rowBytes)
            return nullptr; // a damaged image, not a blank one
        if (kind == '4') {
            // In a bitmap 1 is black; in FreeImage's palette 0 is.
            for (std::size_t i = 0; i < rowBytes; ++i)
                line[i] = static_cast<BYTE>(~row[i]);
        } else if (kind == '5') {
            std::copy(row.begin(), row.end(), line);
        } else {
            for (std::size_t x = 0; x < w; ++x) {
                line[x * 3 + FI_RGBA_RED] = row[x * 3];
                line[x * 3 + FI_RGBA_GREEN] = row[x * 3 + 1];
                line[x * 3 + FI_RGBA_BLUE] = row[x * 3 + 2];
            }
        }
    }
    return dib;
}

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
    bool known = false;
    // FreeImage names every portable map PBM when it looks at one.
    if (detected == FIF_PBM || detected == FIF_PBMRAW || detected == FIF_PGMRAW ||
        detected == FIF_PPMRAW)
        dib = LoadPnm(scratchPath, known);
    if (!known && detected != FIF_UNKNOWN)
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
