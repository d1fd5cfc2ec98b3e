#include "extract/ImageFiles.h"

#include "platform/Files.h"
#include "platform/WorkingFile.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>

namespace extract {

namespace {

constexpr std::size_t kReleaseStep = 4 << 20;

// Reads a binary PNM header from a mapped file.
class HeaderReader {
public:
    HeaderReader(const unsigned char* data, std::size_t size) : at_(data), end_(data + size) {}

    int next() { return at_ < end_ ? *at_++ : EOF; }
    // One number, after blanks and comments.
    bool number(unsigned long& value) {
        int c = next();
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') {
            if (c == '#')
                while (c != '\n' && c != EOF)
                    c = next();
            c = next();
        }
        if (c < '0' || c > '9')
            return false;
        value = 0;
        for (; c >= '0' && c <= '9'; c = next()) {
            value = value * 10 + static_cast<unsigned long>(c - '0');
            if (value > 1'000'000)
                return false;
        }
        // One blank ends the number; after the last one the samples begin.
        return c == ' ' || c == '\t' || c == '\r' || c == '\n';
    }
    const unsigned char* position() const { return at_; }
    std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

private:
    const unsigned char* at_;
    const unsigned char* end_;
};

// Rows as FreeImage keeps them: a bitmap's 1 is black where FreeImage's
// palette has black at 0, and a pixmap's RGB is stored as BGR.
void InvertedRow(const std::uint8_t* __restrict in, std::uint8_t* __restrict out, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(~in[i]);
}

void SwappedRow(const std::uint8_t* __restrict in, std::uint8_t* __restrict out,
                std::size_t pixels) {
    for (std::size_t x = 0; x < pixels; ++x, in += 3, out += 3) {
        out[FI_RGBA_RED] = in[0];
        out[FI_RGBA_GREEN] = in[1];
        out[FI_RGBA_BLUE] = in[2];
    }
}

// FreeImage reads nothing back while it writes; the file is opened for
// writing only, so that no seek of the TIFF writer refills a buffer from it.
unsigned DLL_CALLCONV ReadProc(void*, unsigned, unsigned, fi_handle) {
    return 0;
}

unsigned DLL_CALLCONV WriteProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<platform::WorkingFile*>(handle)->Write(buffer, std::size_t{size} * count)
               ? count
               : 0;
}

int DLL_CALLCONV SeekProc(fi_handle handle, long offset, int origin) {
    return static_cast<platform::WorkingFile*>(handle)->Seek(offset, origin) ? 0 : -1;
}

long DLL_CALLCONV TellProc(fi_handle handle) {
    return static_cast<long>(static_cast<platform::WorkingFile*>(handle)->Tell());
}

} // namespace

// Straight from the mapped file into the bitmap: FreeImage's own reader
// takes a map a sample at a time, which cost more than decoding the picture
// did, and it fills a file cut short with zeros.
Bitmap LoadPnm(const std::string& path, bool& known) {
    known = false;
    platform::MappedFile file(path);
    HeaderReader header(file.data(), file.size());
    if (header.next() != 'P')
        return nullptr;
    const int kind = header.next();
    if (kind != '4' && kind != '5' && kind != '6')
        return nullptr;
    unsigned long w = 0, h = 0, maximum = 1;
    if (!header.number(w) || !header.number(h) || w == 0 || h == 0 ||
        (kind != '4' && (!header.number(maximum) || maximum != 255)))
        return nullptr;
    known = true;
    const unsigned bpp = kind == '4' ? 1 : kind == '5' ? 8 : 24;
    const std::size_t rowBytes = kind == '4' ? (w + 7) / 8 : w * (bpp / 8);
    if (header.left() / rowBytes < h)
        return nullptr; // a damaged image, not a blank one
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
    const std::uint8_t* row = header.position();
    std::size_t released = 0;
    for (unsigned long y = 0; y < h; ++y, row += rowBytes) {
        // Rows converted leave memory as they go: the file and the bitmap
        // are never both held whole.
        const auto done = static_cast<std::size_t>(row - file.data());
        if (done - released >= kReleaseStep) {
            file.Release(done);
            released = done;
        }
        BYTE* line = FreeImage_GetScanLine(dib.get(), static_cast<int>(h - 1 - y));
        if (kind == '4')
            InvertedRow(row, line, rowBytes);
        else if (kind == '5')
            std::copy(row, row + rowBytes, line);
        else
            SwappedRow(row, line, w);
    }
    return dib;
}

bool SaveImage(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, platform::WorkingFile& file, int flags) {
    FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
    return FreeImage_SaveToHandle(fif, dib, &io, &file, flags) != FALSE && file.Problem().empty();
}

std::string ReadProfile(const std::string& path) {
    // No profile a writer stores comes near this.
    constexpr std::size_t kLargest = 64 << 20;
    std::ifstream in(path, std::ios::binary);
    std::string bytes;
    char buffer[64 * 1024];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > kLargest)
            return {};
    }
    return bytes;
}

bool ProfileFits(FIBITMAP* dib, const std::string& profile) {
    // The header names the colours at byte 16.
    if (profile.size() < 128)
        return false;
    const std::string colours = profile.substr(16, 4);
    const FREE_IMAGE_COLOR_TYPE type = FreeImage_GetColorType(dib);
    const bool gray = type == FIC_MINISBLACK || type == FIC_MINISWHITE;
    const bool rgb = type == FIC_RGB || type == FIC_RGBALPHA;
    return (colours == "GRAY" && gray) || (colours == "RGB " && rgb);
}

bool CopyBytes(const std::string& from, platform::WorkingFile& file) {
    // Read, not mapped: undoing a mapping stops the other processors to
    // flush what they hold of it, and for a document of many small JPEGs
    // that came to a sixth of the job.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> in(std::fopen(from.c_str(), "rb"),
                                                             &std::fclose);
    if (!in)
        return false;
    std::setvbuf(in.get(), nullptr, _IONBF, 0);
    unsigned char buffer[64 * 1024];
    std::size_t total = 0;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, in.get());
        if (n == 0)
            break;
        if (!file.Write(buffer, n))
            return false;
        total += n;
    }
    return total > 0 && !std::ferror(in.get());
}

} // namespace extract
