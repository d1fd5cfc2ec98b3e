#pragma once

extern "C" {
#include <mupdf/fitz.h>
}

namespace tools {

// Opens `path` as a MuPDF stream that reads in large blocks and serves a
// seek that lands in the block it holds from memory. MuPDF's own file
// stream reads 4 KiB at a time and drops them at every seek, and a page
// costs a dozen seeks: on a long document those calls were half the time.
// Throws a MuPDF error ("cannot open PATH: why") when the file cannot be
// opened; what is not a plain file gets MuPDF's own stream.
fz_stream* openFileStream(fz_context* ctx, const char* path);

} // namespace tools
