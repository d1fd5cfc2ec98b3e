#pragma once

#include "mupdf_context.h"

#include <string>

namespace glimmet {

// The SHA-256 of a picture's decoded pixels and their size and layout, so
// that equal bytes of another shape never pass for the same picture. A
// plain JPEG is decoded a row at a time straight from its bytes, everything
// else through MuPDF; both give a picture the same digest. Throws MuError
// when the picture cannot be decoded.
std::string pixelDigest(fz_context* ctx, fz_image* image);

} // namespace glimmet
