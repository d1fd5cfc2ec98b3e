#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace glimmet {

// Writing a scratch file failed (a missing folder, a full disk...).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class ScratchNames;

// One scratch file to be written: its name, and the run it belongs to.
struct ScratchFile {
    std::string path;
    ScratchNames* names = nullptr;
};

// The scratch files of one run, ROOT-000.ext, ROOT-001.ext, ... Each is
// written under a working name first (contract::kWorkingPrefix, the process
// number and a hyphen before its own) and takes its own name only when
// whole, so the program never sees half an image, not even from a tool that
// was killed. Held back (the tool was started ahead of its turn), whole
// files keep their working names until release().
class ScratchNames {
public:
    explicit ScratchNames(std::string root) : root_(std::move(root)) {}
    ~ScratchNames(); // working files never released are removed
    ScratchNames(const ScratchNames&) = delete;
    ScratchNames& operator=(const ScratchNames&) = delete;

    ScratchFile next(const char* extension);
    ScratchFile peek(const char* extension); // the next name, not taken yet

    void holdBack() { heldBack_ = true; }
    bool holding() const { return !waiting_.empty(); }
    int count() const { return count_; }
    // Gives every file held back its own name, in order. Throws WriteError
    // when a name is taken already.
    void release();

    // A writer's file is whole under its working name.
    void whole(const std::string& path);

    static std::string workingName(const std::string& path);

private:
    std::string root_;
    int count_ = 0;
    bool heldBack_ = false;
    std::vector<std::string> waiting_;
};

// Fills one row of pixels, top row first, in the layout the format wants.
// The last call may still find the data damaged and throw: the file is then
// never shown.
using RowSource = std::function<void(int y, std::uint8_t* row)>;

// The scratch formats: all uncompressed, which is what writes and reads
// fastest, and all recognised by FreeImage from their content.
void writePbm(const ScratchFile& file, int w, int h, const RowSource& rows);   // packed, 1 = black
void writePgm(const ScratchFile& file, int w, int h, const RowSource& rows);   // 8-bit gray
void writePpm(const ScratchFile& file, int w, int h, const RowSource& rows);   // 8-bit RGB
void writeBmp24(const ScratchFile& file, int w, int h, const RowSource& rows); // BGR
void writeBmp32(const ScratchFile& file, int w, int h,
                const RowSource& rows); // BGRA, straight alpha

// A file of bytes as they are, written from runs of memory in turn.
struct ByteRun {
    const unsigned char* data;
    size_t size;
};
void writeBytes(const ScratchFile& file, const std::vector<ByteRun>& runs);

} // namespace glimmet
