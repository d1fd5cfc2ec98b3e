#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"

#include <string>

namespace glimmet {

// The SHA-256 of a picture's decoded pixels and their size and layout, so
// that equal bytes of another shape never pass for the same picture. A
// plain JPEG is decoded a row at a time straight from its bytes, everything
// else through MuPDF; both give a picture the same digest. A picture kept
// as its own bytes that does not decode whole is known by those bytes;
// any other throws MuError when it cannot be decoded whole, as writing it
// would.
std::string pixelDigest(tools::Context& ctx, fz_image* image, const KeptPicture& kept);

} // namespace glimmet
