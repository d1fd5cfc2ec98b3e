#pragma once

#include "icc_profile.h"
#include "image_export.h"
#include "mupdf_context.h"
#include "page_image.h"
#include "picture_sieve.h"

#include <optional>
#include <string>
#include <vector>

namespace glimmet {

// Appends to `lines` the contract::kListedImage lines of one image found on `page`: one
// for each file of its plan (never empty), with what the document says of
// it. Decodes nothing. A picture left out is listed as such. Returns how
// many files it takes: none when left out.
int listImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
              const std::vector<PlannedFile>& files, const KeptPicture& kept,
              const std::optional<LeftOut>& leftOut, IccProfiles& profiles, std::string& lines);

// The profile the picture's first file carries in its samples, which the
// program writes into the file it encodes; null when there is none, or the
// file is the document's own bytes.
const IccProfile* profileToWrite(tools::Context& ctx, pdf_document* doc, const PageImage& found,
                                 const std::vector<PlannedFile>& files, const KeptPicture& kept,
                                 IccProfiles& profiles);

// Appends to `lines` the contract::kListedImage line, marked
// contract::kListedFailed, of a picture that could not be had: what its
// dictionary states. Nothing for an inline image, which has none.
void listFailedImage(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found,
                     std::string& lines);

} // namespace glimmet
