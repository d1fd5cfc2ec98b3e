#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"
#include "page_images.h"
#include "picture_sieve.h"

#include <optional>
#include <string>

namespace glimmet {

// Prints the contract::kListedImage lines of one image found on `page`: one
// for each file that extracting it writes, with what the document says of
// it. Decodes nothing; throws MuError where extracting would fail before
// decoding. A picture left out is listed as such. Returns how many files
// it takes: none when left out.
int listImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
              fz_image* image, const KeptPicture& kept, const std::optional<LeftOut>& leftOut);

// A listed value as it goes on the line: no separator, no line end.
std::string listedText(const char* text);

} // namespace glimmet
