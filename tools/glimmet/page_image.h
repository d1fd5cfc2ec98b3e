#pragma once

#include "mupdf_context.h"

#include <string>
#include <vector>

namespace glimmet {

inline constexpr std::size_t kMostUses = 64;

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
    // Where it is drawn again on the page, as far as the walk follows
    // (kMostUses in all).
    std::vector<fz_matrix> laterUses;
    int numberOnPage = 0; // from 1, in drawing order, once the page is walked
};

} // namespace glimmet
