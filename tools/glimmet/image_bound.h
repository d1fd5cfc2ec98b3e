#pragma once

#include "page_image.h"

#include <stdexcept>

namespace glimmet {

// An image whose decoded pixels would pass the memory bound.
class ImageTooLarge : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Throws ImageTooLarge, before anything of the image is decoded, when its
// pixels with their alpha and its mask's would need more memory than
// tools::imageMemoryBound() allows. The size comes from the image's
// dictionary and, for JPEG-2000, from the header of its own data, which may
// say otherwise. Returns that size in bytes.
double checkImageBound(tools::Context& ctx, pdf_document* doc, const PageImage& found);

// MuPDF loads every image a content stream draws as it interprets it, and
// loads JPEG-2000 by decoding it whole. This marks each image of `resources`
// that is over the bound as loaded already (a one-pixel stand-in), so that
// the interpreter leaves it alone; checkImageBound refuses it afterwards.
// Runs inside MuPDF's frames.
void shieldOversizeImages(fz_context* ctx, pdf_obj* resources);

} // namespace glimmet
