// Reading the tool's scratch maps through a mapping, and writing output
// files through a large buffer.
#pragma once

#include <FreeImage.h>
#include <memory>
#include <string>

namespace extract {

struct BitmapDeleter {
    void operator()(FIBITMAP* dib) const { FreeImage_Unload(dib); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// The tool's binary bitmaps, graymaps and pixmaps with 8-bit samples, as
// the bitmap FreeImage would make of them. `known` is false for anything
// else, which is left to FreeImage; a known map that is damaged gives no
// bitmap.
Bitmap LoadPnm(const std::string& path, bool& known);

// FreeImage_Save through a 1 MiB buffer, false also when the data could
// not all be written (a full disk, say), which FreeImage does not check.
bool SaveImage(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, const std::string& path, int flags);

// Writes the bytes of the file `from` as the file `path`; false when it is
// empty, unreadable, or not all of it could be written.
bool CopyBytes(const std::string& from, const std::string& path);

} // namespace extract
