#pragma once

#include "mupdf_context.h"

#include <cstdint>

namespace glimmet {

// The largest bitmap that JBIG2 data declares before any of it is decoded.
struct Jbig2Bitmap {
    const char* kind = nullptr; // "page", "region", "pattern set"; null for none
    std::uint64_t width = 0;
    std::uint64_t height = 0;
    double pixels() const { return double(width) * double(height); }
};

// What the JBIG2 data of the image stream `image` (JBIG2Decode its last
// filter) declares in its segment headers: the page, the page grown stripe
// by stripe, every region and pattern set, in its /JBIG2Globals and, unless
// `globalsOnly`, in its own data. Nothing is decoded; data that cannot be
// read declares nothing more. Runs inside MuPDF's frames.
Jbig2Bitmap jbig2Declared(fz_context* c, pdf_obj* image, bool globalsOnly);

} // namespace glimmet
