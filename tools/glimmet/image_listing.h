#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"
#include "page_images.h"

#include <string>

namespace glimmet {

// Prints the contract::kListedImage lines of one image found on `page`: one
// for each file that extracting it writes, with what the document says of
// it. Decodes nothing; throws MuError where extracting would fail before
// decoding.
void listImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
               fz_image* image, const KeptPicture& kept);

// A listed value as it goes on the line: no separator, no line end.
std::string listedText(const char* text);

} // namespace glimmet
