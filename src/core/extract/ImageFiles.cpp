#include "extract/ImageFiles.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace extract {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;
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

// A stdio file with a 1 MiB buffer of its own: with stdio's default of
// 4 KiB every few rows of an image cost a system call.
class BufferedFile {
public:
    BufferedFile(const std::string& path, const char* mode);
    ~BufferedFile();
    BufferedFile(const BufferedFile&) = delete;
    BufferedFile& operator=(const BufferedFile&) = delete;

    std::FILE* get() const { return file_; }
    // Flushes and closes; true when everything written reached the file.
    bool close();

private:
    std::unique_ptr<char[]> buffer_;
    std::FILE* file_ = nullptr;
};

BufferedFile::BufferedFile(const std::string& path, const char* mode)
    : buffer_(std::make_unique_for_overwrite<char[]>(kBufferSize)),
      file_(std::fopen(path.c_str(), mode)) {
    // setvbuf takes a size only together with a buffer.
    if (file_)
        std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferSize);
}

BufferedFile::~BufferedFile() {
    if (file_)
        std::fclose(file_);
}

bool BufferedFile::close() {
    std::FILE* f = file_;
    file_ = nullptr;
    if (!f)
        return false;
    const bool flushed = std::fflush(f) == 0 && !std::ferror(f);
    return std::fclose(f) == 0 && flushed;
}

unsigned DLL_CALLCONV ReadProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<unsigned>(std::fread(buffer, size, count, static_cast<std::FILE*>(handle)));
}

unsigned DLL_CALLCONV WriteProc(void* buffer, unsigned size, unsigned count, fi_handle handle) {
    return static_cast<unsigned>(std::fwrite(buffer, size, count, static_cast<std::FILE*>(handle)));
}

int DLL_CALLCONV SeekProc(fi_handle handle, long offset, int origin) {
    return std::fseek(static_cast<std::FILE*>(handle), offset, origin);
}

long DLL_CALLCONV TellProc(fi_handle handle) {
    return std::ftell(static_cast<std::FILE*>(handle));
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

bool SaveImage(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, const std::string& path, int flags) {
    // Write-only: on a stream that may also read, every seek of the TIFF
    // writer would refill the whole buffer from the file.
    BufferedFile file(path, "wb");
    if (!file.get())
        return false;
    FreeImageIO io{ReadProc, WriteProc, SeekProc, TellProc};
    const bool saved = FreeImage_SaveToHandle(fif, dib, &io, file.get(), flags) != FALSE;
    return file.close() && saved;
}

bool CopyBytes(const std::string& from, const std::string& path) {
    const platform::MappedFile in(from);
    if (!in.data())
        return false;
    BufferedFile file(path, "wb");
    if (!file.get())
        return false;
    const bool written = std::fwrite(in.data(), 1, in.size(), file.get()) == in.size();
    return file.close() && written;
}

} // namespace extract
