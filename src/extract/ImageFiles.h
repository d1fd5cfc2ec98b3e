// Reading the tool's scratch maps and writing output files, both through
// large buffers.
#pragma once

#include <FreeImage.h>
#include <cstdio>
#include <memory>
#include <string>

namespace extract {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

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

// The tool's binary bitmaps, graymaps and pixmaps with 8-bit samples, as
// the bitmap FreeImage would make of them. `known` is false for anything
// else, which is left to FreeImage; a known map that is damaged gives no
// bitmap.
Bitmap LoadPnm(const std::string& path, bool& known);

// FreeImage_Save through a BufferedFile, false also when the data could
// not all be written (a full disk, say), which FreeImage does not check.
bool SaveImage(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, const std::string& path, int flags);

} // namespace extract
