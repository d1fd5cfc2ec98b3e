// Reading the tool's scratch maps through a mapping, and writing output
// files into a working file.
#pragma once

#include "platform/WorkingFile.h"

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

// FreeImage_Save into `file`, false also when the data could not all be
// written (a full disk, say), which FreeImage does not check; the file
// then holds the system's reason.
bool SaveImage(FREE_IMAGE_FORMAT fif, FIBITMAP* dib, platform::WorkingFile& file, int flags);

// The bytes of an ICC profile's file; empty when it cannot be read or is
// too large to be one.
std::string ReadProfile(const std::string& path);

// Whether the picture's samples are of the colours the profile describes:
// gray for a gray profile, RGB for an RGB one.
bool ProfileFits(FIBITMAP* dib, const std::string& profile);

// Writes the bytes of the file `from` into `file`; false when it is empty,
// unreadable, or not all of it could be written.
bool CopyBytes(const std::string& from, platform::WorkingFile& file);

} // namespace extract
