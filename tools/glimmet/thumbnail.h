#pragma once

#include "mupdf_context.h"
#include "scratch_names.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace glimmet {

// The size of a picture's thumbnail: no side longer than `longest`, the
// proportions kept, no side below one pixel, never larger than the picture.
std::pair<int, int> thumbnailSize(int w, int h, int longest);

// A thumbnail's pixels: one (gray) or three (RGB) 8-bit channels, row after
// row.
struct Thumbnail {
    int w = 0, h = 0, n = 1;
    std::vector<std::uint8_t> samples;
};

// The thumbnail of `image`: gray for gray pictures, RGB for the rest,
// transparency over white. It is decoded at a reduced size (by the JPEG
// decoder's own scaling where it can, MuPDF's subsampling otherwise), never
// whole when less will do. Throws MuError when the picture cannot be
// decoded.
Thumbnail makeThumbnail(tools::Context& ctx, fz_image* image, int longest);

// Writes it as the run's next scratch file, a gray or RGB map. Throws
// WriteError.
void writeThumbnail(const Thumbnail& thumbnail, ScratchNames& names);

} // namespace glimmet
