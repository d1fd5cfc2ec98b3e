#include "scratch_file.h"

#include "run_limits.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace glimmet {

namespace {

// One scratch file being written. Unless commit() succeeds, the file is
// removed again: a half-written image must never be taken for a whole one.
class Output {
public:
    explicit Output(std::string path) : path_(std::move(path)) {
        file_ = std::fopen(path_.c_str(), "wb");
        if (!file_)
            fail();
        tools::budgetFile(path_.c_str());
        // Large writes: with stdio's own 4 KiB buffer a photograph took a
        // thousand system calls. setvbuf takes a size only with a buffer.
        std::setvbuf(file_, buffer_.get(), _IOFBF, kBufferSize);
    }
    ~Output() {
        tools::budgetFile(nullptr);
        if (file_) {
            std::fclose(file_);
            std::remove(path_.c_str());
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(const void* data, size_t size) {
        if (size && std::fwrite(data, 1, size, file_) != size)
            fail();
    }
    void commit() {
        tools::budgetFile(nullptr);
        FILE* f = file_;
        file_ = nullptr;
        bool ok = std::fflush(f) == 0 && !std::ferror(f);
        int err = errno;
        if (std::fclose(f) != 0 && ok) {
            ok = false;
            err = errno;
        }
        if (!ok) {
            std::remove(path_.c_str());
            errno = err;
            fail();
        }
    }

private:
    [[noreturn]] void fail() {
        int err = errno ? errno : EIO;
        throw WriteError("cannot write " + path_ + ": " + std::strerror(err));
    }

    static constexpr size_t kBufferSize = 1 << 20;
    std::string path_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    FILE* file_ = nullptr;
};

void checkSize(int w, int h) {
    if (w <= 0 || h <= 0)
        throw WriteError("the image has no pixels");
}

void writePnm(const std::string& path, const char* magic, int w, int h, size_t rowBytes,
              const RowSource& rows) {
    checkSize(w, h);
    Output out(path);
    std::string header = std::string(magic) + "\n" + std::to_string(w) + " " + std::to_string(h) +
                         "\n" + (magic[1] == '4' ? "" : "255\n");
    out.write(header.data(), header.size());
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < h; ++y) {
        rows(y, row.data());
        out.write(row.data(), row.size());
    }
    out.commit();
}

void put16(std::uint8_t* p, unsigned v) {
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xff;
}

void writeBmp(const std::string& path, int w, int h, int bytesPerPixel, const RowSource& rows) {
    checkSize(w, h);
    const size_t rowBytes = static_cast<size_t>(w) * bytesPerPixel;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    const size_t pixelBytes = stride * static_cast<size_t>(h);
    constexpr size_t headerBytes = 14 + 40;
    if (pixelBytes > std::numeric_limits<std::uint32_t>::max() - headerBytes)
        throw WriteError("cannot write " + path + ": the image is too large for a bitmap file");

    std::uint8_t header[headerBytes] = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, static_cast<std::uint32_t>(headerBytes + pixelBytes));
    put32(header + 10, headerBytes);
    put32(header + 14, 40);
    put32(header + 18, static_cast<std::uint32_t>(w));
    put32(header + 22, static_cast<std::uint32_t>(h)); // positive: bottom row first
    put16(header + 26, 1);
    put16(header + 28, bytesPerPixel * 8);
    put32(header + 34, static_cast<std::uint32_t>(pixelBytes));
    put32(header + 38, 2835); // 72 dpi
    put32(header + 42, 2835);

    Output out(path);
    out.write(header, sizeof header);
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = h - 1; y >= 0; --y) {
        rows(y, row.data());
        out.write(row.data(), row.size());
    }
    out.commit();
}

} // namespace

void writePbm(const std::string& path, int w, int h, const RowSource& rows) {
    writePnm(path, "P4", w, h, (static_cast<size_t>(w) + 7) / 8, rows);
}
void writePgm(const std::string& path, int w, int h, const RowSource& rows) {
    writePnm(path, "P5", w, h, static_cast<size_t>(w), rows);
}
void writePpm(const std::string& path, int w, int h, const RowSource& rows) {
    writePnm(path, "P6", w, h, static_cast<size_t>(w) * 3, rows);
}
void writeBmp24(const std::string& path, int w, int h, const RowSource& rows) {
    writeBmp(path, w, h, 3, rows);
}
void writeBmp32(const std::string& path, int w, int h, const RowSource& rows) {
    writeBmp(path, w, h, 4, rows);
}

} // namespace glimmet
