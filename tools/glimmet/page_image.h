#pragma once

#include "mupdf_context.h"

#include <string>

namespace glimmet {

// One image a page draws, as the page's interpretation found it.
struct PageImage {
    tools::Image image;   // inline images only; objects are loaded by loadImage
    int objectNumber = 0; // 0 for an inline image
    // Why the image cannot be had, when the interpretation knows it: a
    // filter MuPDF does not know (it would read such data as it stands and
    // make garbage of the picture), or data MuPDF cannot even load.
    std::string failure;
    // Where the image is first drawn: its unit square on the page, in points.
    fz_matrix placement = fz_identity;
    int numberOnPage = 0; // from 1, in drawing order, once the page is walked
};

} // namespace glimmet
