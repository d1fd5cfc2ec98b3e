// MuPDF reads each entry of a cross-reference stream a byte at a time, each
// field as wide as the stream's /W says, on past the end of its data: a
// width of two thousand million costs seconds of every run that opens the
// document. No field needs more than 8 bytes (an offset is a 64-bit
// number), so a stream that declares more is refused before MuPDF reads
// it, and MuPDF rebuilds the cross-reference from the objects instead, as it
// does for any other damage there.
//
// MuPDF opens a cross-reference stream through pdf_open_stream_with_offset
// and nothing else of it there; the link wraps that call (see
// CMakeLists.txt), so the check sits between MuPDF's parse of the stream's
// dictionary and its reading of the entries.

#include "mupdf_context.h"

namespace {
constexpr int kWidestField = 8;
}

extern "C" {

fz_stream* __real_pdf_open_stream_with_offset(fz_context* ctx, pdf_document* doc, int num,
                                              pdf_obj* dict, int64_t stmOfs);

fz_stream* __wrap_pdf_open_stream_with_offset(fz_context* ctx, pdf_document* doc, int num,
                                              pdf_obj* dict, int64_t stmOfs) {
    pdf_obj* widths = pdf_dict_get(ctx, dict, PDF_NAME(W));
    for (int i = 0; i < 3; ++i) { // MuPDF reads the first three
        const int width = pdf_array_get_int(ctx, widths, i);
        if (width > kWidestField)
            fz_throw(ctx, FZ_ERROR_GENERIC,
                     "cross-reference stream (object %d) has a field %d bytes wide", num, width);
    }
    return __real_pdf_open_stream_with_offset(ctx, doc, num, dict, stmOfs);
}

} // extern "C"
