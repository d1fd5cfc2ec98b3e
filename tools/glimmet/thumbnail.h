#pragma once

#include "mupdf_context.h"
#include "scratch_names.h"

#include <utility>

namespace glimmet {

// The size of a picture's thumbnail: no side longer than `longest`, the
// proportions kept, no side below one pixel, never larger than the picture.
std::pair<int, int> thumbnailSize(int w, int h, int longest);

// Writes the thumbnail of `image` as the run's next scratch file: a gray
// map for gray pictures, an RGB map for the rest, transparency over white.
// It is decoded at a reduced size (by the JPEG decoder's own scaling where
// it can, MuPDF's subsampling otherwise), never whole when less will do.
// Throws MuError when the picture cannot be decoded, WriteError when the
// file cannot be written.
void writeThumbnail(tools::Context& ctx, fz_image* image, int longest, ScratchNames& names);

} // namespace glimmet
