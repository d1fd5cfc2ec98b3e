#pragma once

#include "page_image.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace glimmet {

// One thing a content stream draws, in drawing order: an image, or a stream
// it draws in turn (a form, a tiling pattern, a soft mask's group), which is
// interpreted after this stream, not from inside it. So nesting costs no
// stack: MuPDF's own error frames would end a recursive interpretation a few
// dozen forms deep.
struct Drawn {
    PageImage image;
    tools::Object nested;
    tools::Object resources;
    fz_matrix ctm = fz_identity; // where a nested stream starts
};

// A stream drawn from `at` with `resources`, each kept for as long as the
// result lives.
Drawn nestedStream(fz_context* ctx, pdf_obj* stream, pdf_obj* resources, fz_matrix at);

// Image objects MuPDF cannot load (it decodes JPEG-2000 as it loads it), by
// their XObject dictionary and name, with the object and the reason. Such an
// image is swapped for a stand-in and the stream interpreted again, so that it
// costs only itself and not the rest of the page.
struct Unloadable {
    std::map<std::pair<pdf_obj*, std::string>, std::pair<int, std::string>> images;
    tools::Object standIn;
};

// Throws MuError when `stream` (or, for a page's contents, any stream of the
// array) is encoded for images only: JBIG2, JPEG, JPEG-2000 or CCITT data
// cannot be page content, and decoding it as such only costs time and memory.
void requireContentEncoding(tools::Context& ctx, pdf_obj* stream);

// What one content stream draws, in order, read by MuPDF's interpreter with
// our callbacks from `start` on, with `resources`. An image swapped out in
// `unloadable` comes with its object and why it failed. Throws MuError, also
// when an image that cannot be loaded ends MuPDF's interpretation.
std::vector<Drawn> interpretStream(tools::Context& ctx, pdf_document* doc, pdf_obj* stream,
                                   pdf_obj* resources, const Unloadable& unloadable,
                                   fz_matrix start);

} // namespace glimmet
