#pragma once

#include "mupdf_context.h"
#include "page_image.h"

#include <vector>

namespace glimmet {

// Every image drawn when the page is displayed, each image object once, in
// the order in which it is first drawn: the content stream, form XObjects,
// tiling patterns, soft-mask groups and annotation appearances, inline
// images and stencil masks included. Only image operators are followed;
// text and fonts are never loaded, so a page of text costs next to nothing.
std::vector<PageImage> findPageImages(tools::Context& ctx, pdf_document* doc, pdf_obj* page);

// The image itself, loaded (again) from its object.
tools::Image loadImage(tools::Context& ctx, pdf_document* doc, const PageImage& found);

} // namespace glimmet
