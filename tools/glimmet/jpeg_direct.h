#pragma once

#include "mupdf_context.h"

#include <string>

namespace glimmet {

// A plain gray or RGB JPEG, with nothing in the PDF that changes its
// colours, decodes straight from its bytes into the scratch file, one row at
// a time: MuPDF's filter chain would only copy every byte once more and
// hold the whole picture in memory. False when the image is not of that
// kind and must take MuPDF's way; throws MuError when the JPEG data is
// damaged, WriteError when the file cannot be written.
bool writeJpegDirectly(fz_context* ctx, fz_image* image, const std::string& path);

} // namespace glimmet
