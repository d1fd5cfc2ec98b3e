#include "scratch_file.h"

#include "ToolContract.h"
#include "run_limits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <unistd.h>
#include <vector>

namespace glimmet {

namespace {

[[noreturn]] void failWriting(const std::string& path, int err) {
    throw WriteError("cannot write " + path + ": " + std::strerror(err ? err : EIO));
}

// One scratch file being written, under its working name. Unless commit()
// succeeds, the file is removed again. It is always made new and never
// through a link: a name someone else put there first is refused, and
// whatever it points to stays as it was.
class Output {
public:
    explicit Output(const ScratchFile& file)
        : file_(file), working_(ScratchNames::workingName(file.path)) {
        const int fd =
            open(working_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0)
            fail();
        stream_ = fdopen(fd, "wb");
        if (!stream_) {
            const int err = errno;
            close(fd);
            unlink(working_.c_str());
            failWriting(file_.path, err);
        }
        tools::budgetFile(working_.c_str());
        // Large writes: with stdio's own 4 KiB buffer a photograph took a
        // thousand system calls. setvbuf takes a size only with a buffer.
        std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferSize);
    }
    ~Output() {
        tools::budgetFile(nullptr);
        if (stream_) {
            std::fclose(stream_);
            unlink(working_.c_str());
        }
    }
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    void write(const void* data, size_t size) {
        if (size && std::fwrite(data, 1, size, stream_) != size)
            fail();
    }
    void commit() {
        tools::budgetFile(nullptr);
        FILE* f = stream_;
        stream_ = nullptr;
        bool ok = std::fflush(f) == 0 && !std::ferror(f);
        int err = errno;
        if (std::fclose(f) != 0 && ok) {
            ok = false;
            err = errno;
        }
        if (!ok) {
            unlink(working_.c_str());
            failWriting(file_.path, err);
        }
        file_.names->whole(file_.path);
    }

private:
    [[noreturn]] void fail() { failWriting(file_.path, errno); }

    static constexpr size_t kBufferSize = 1 << 20;
    ScratchFile file_;
    std::string working_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    FILE* stream_ = nullptr;
};

// Gives a whole file its own name, refusing one that is taken.
void show(const std::string& path) {
    const std::string working = ScratchNames::workingName(path);
    if (renameat2(AT_FDCWD, working.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno == EINVAL || errno == ENOSYS) { // a file system without that rename
        if (link(working.c_str(), path.c_str()) == 0) {
            unlink(working.c_str());
            return;
        }
    }
    const int err = errno;
    unlink(working.c_str());
    failWriting(path, err);
}

void checkSize(int w, int h) {
    if (w <= 0 || h <= 0)
        throw WriteError("the image has no pixels");
}

void writePnm(const ScratchFile& file, const char* magic, int w, int h, size_t rowBytes,
              const RowSource& rows) {
    checkSize(w, h);
    Output out(file);
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

void writeBmp(const ScratchFile& file, int w, int h, int bytesPerPixel, const RowSource& rows) {
    checkSize(w, h);
    const size_t rowBytes = static_cast<size_t>(w) * bytesPerPixel;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    const size_t pixelBytes = stride * static_cast<size_t>(h);
    constexpr size_t headerBytes = 14 + 40;
    if (pixelBytes > std::numeric_limits<std::uint32_t>::max() - headerBytes)
        throw WriteError("cannot write " + file.path +
                         ": the image is too large for a bitmap file");

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

    Output out(file);
    out.write(header, sizeof header);
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = h - 1; y >= 0; --y) {
        rows(y, row.data());
        out.write(row.data(), row.size());
    }
    out.commit();
}

} // namespace

ScratchNames::~ScratchNames() {
    for (const std::string& path : waiting_)
        unlink(workingName(path).c_str());
}

// The process number keeps apart the working files of two tools at work in
// the same folder, the next page's beside this one's.
std::string ScratchNames::workingName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, name) + contract::kWorkingPrefix + std::to_string(getpid()) + "-" +
           path.substr(name);
}

ScratchFile ScratchNames::peek(const char* extension) {
    return {contract::ScratchName(root_, count_, extension), this};
}

ScratchFile ScratchNames::next(const char* extension) {
    ScratchFile file = peek(extension);
    ++count_;
    return file;
}

void ScratchNames::whole(const std::string& path) {
    if (!heldBack_) {
        show(path);
        return;
    }
    try {
        waiting_.push_back(path);
    } catch (...) {
        unlink(workingName(path).c_str());
        throw;
    }
}

void ScratchNames::release() {
    heldBack_ = false;
    std::vector<std::string> waiting;
    waiting.swap(waiting_);
    for (size_t i = 0; i < waiting.size(); ++i) {
        try {
            show(waiting[i]);
        } catch (...) {
            waiting_.assign(waiting.begin() + static_cast<std::ptrdiff_t>(i) + 1, waiting.end());
            throw;
        }
    }
}

void writePbm(const ScratchFile& file, int w, int h, const RowSource& rows) {
    writePnm(file, "P4", w, h, (static_cast<size_t>(w) + 7) / 8, rows);
}
void writePgm(const ScratchFile& file, int w, int h, const RowSource& rows) {
    writePnm(file, "P5", w, h, static_cast<size_t>(w), rows);
}
void writePpm(const ScratchFile& file, int w, int h, const RowSource& rows) {
    writePnm(file, "P6", w, h, static_cast<size_t>(w) * 3, rows);
}
void writeBytes(const ScratchFile& file, const std::vector<ByteRun>& runs) {
    Output out(file);
    for (const ByteRun& run : runs)
        out.write(run.data, run.size);
    out.commit();
}

void writeBmp24(const ScratchFile& file, int w, int h, const RowSource& rows) {
    writeBmp(file, w, h, 3, rows);
}
void writeBmp32(const ScratchFile& file, int w, int h, const RowSource& rows) {
    writeBmp(file, w, h, 4, rows);
}

} // namespace glimmet
