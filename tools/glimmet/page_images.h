#pragma once

#include "mupdf_context.h"

#include <string>
#include <vector>

namespace glimmet {

struct PageImage {
    tools::Image image;   // inline images only; objects are loaded by loadImage
    int objectNumber = 0; // 0 for an inline image
    // Why the image cannot be had, when that is known from the walk: a
    // filter MuPDF does not know (it would read such data as it stands and
    // make garbage of the picture), or data MuPDF cannot even load.
    std::string failure;
    // Where the image is first drawn: its unit square on the page, in points.
    fz_matrix placement = fz_identity;
};

// Every image drawn when the page is displayed, each image object once, in
// the order in which it is first drawn: the content stream, form XObjects,
// tiling patterns, soft-mask groups and annotation appearances, inline images and stencil
// masks included. Only image operators are followed; text and fonts are
// never loaded, so a page of text costs next to nothing.
std::vector<PageImage> findPageImages(tools::Context& ctx, pdf_document* doc, pdf_obj* page);

// The image itself, loaded (again) from its object.
tools::Image loadImage(tools::Context& ctx, pdf_document* doc, const PageImage& found);

} // namespace glimmet
