// MuPDF reads a cross-reference stream entry by entry, a byte at a time, each
// field as wide as the stream's /W says, on past the end of its data; and it
// makes room for every entry its sections declare before it reads one. So
// a width of two thousand million costs seconds, and a section of millions
// of entries hundreds of megabytes and seconds, in every run that opens the
// document, however little data the stream holds. Such a stream is refused
// before MuPDF reads it, and MuPDF rebuilds the cross-reference from the
// objects instead, as it does for any other damage there:
// - a field wider than 8 bytes, which no offset needs (they are 64-bit);
// - more entries than its data holds, once they are too many to be cheap.
//
// MuPDF opens a cross-reference stream through pdf_open_stream_with_offset
// and nothing else of it there; the link wraps that call (see
// CMakeLists.txt), so the check sits between MuPDF's parse of the stream's
// dictionary and its reading of the entries.

#include "mupdf_context.h"

#include <algorithm>
#include <cstdint>

extern "C" fz_stream* __real_pdf_open_stream_with_offset(fz_context* ctx, pdf_document* doc,
                                                         int num, pdf_obj* dict, int64_t stmOfs);

namespace {

constexpr int kWidestField = 8;
// Entries a table may declare without its data being measured first.
constexpr std::int64_t kCheapEntries = 65536;
// Past any table MuPDF would take, and small enough to count bytes in.
constexpr std::int64_t kMostEntries = std::int64_t(1) << 40;

// The bytes an entry takes, as MuPDF reads /W: its first three widths,
// negative ones taken as 0.
int entryWidth(fz_context* ctx, pdf_obj* dict, int num) {
    pdf_obj* widths = pdf_dict_get(ctx, dict, PDF_NAME(W));
    int entry = 0;
    for (int i = 0; i < 3; ++i) {
        const int width = pdf_array_get_int(ctx, widths, i);
        if (width > kWidestField)
            fz_throw(ctx, FZ_ERROR_GENERIC,
                     "cross-reference stream (object %d) has a field %d bytes wide", num, width);
        entry += std::max(width, 0);
    }
    return entry;
}

// The entries the stream's sections declare: the counts of its /Index
// pairs, or its /Size when it has none.
std::int64_t declaredEntries(fz_context* ctx, pdf_obj* dict) {
    pdf_obj* index = pdf_dict_get(ctx, dict, PDF_NAME(Index));
    if (!index)
        return std::max(pdf_dict_get_int(ctx, dict, PDF_NAME(Size)), 0);
    std::int64_t entries = 0;
    for (int t = 1; t < pdf_array_len(ctx, index) && entries < kMostEntries; t += 2)
        entries += std::max(pdf_array_get_int(ctx, index, t), 0);
    return std::min(entries, kMostEntries);
}

// Whether the stream's data holds `bytes` bytes, decoded.
bool holds(fz_context* ctx, pdf_document* doc, int num, pdf_obj* dict, int64_t stmOfs,
           std::int64_t bytes) {
    fz_stream* data = __real_pdf_open_stream_with_offset(ctx, doc, num, dict, stmOfs);
    size_t got = 0;
    fz_try(ctx) {
        got = fz_skip(ctx, data, static_cast<size_t>(bytes));
    }
    fz_always(ctx) {
        fz_drop_stream(ctx, data);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
    return got == static_cast<size_t>(bytes);
}

} // namespace

extern "C" fz_stream* __wrap_pdf_open_stream_with_offset(fz_context* ctx, pdf_document* doc,
                                                         int num, pdf_obj* dict, int64_t stmOfs) {
    const int width = entryWidth(ctx, dict, num);
    const std::int64_t entries = declaredEntries(ctx, dict);
    if (entries > kCheapEntries &&
        (width == 0 || !holds(ctx, doc, num, dict, stmOfs, entries * width)))
        fz_throw(ctx, FZ_ERROR_GENERIC,
                 "cross-reference stream (object %d) declares more entries than it holds", num);
    return __real_pdf_open_stream_with_offset(ctx, doc, num, dict, stmOfs);
}
