#include "jbig2_bound.h"

#include "big_endian.h"

#include <algorithm>
#include <iterator>

namespace glimmet {

namespace {

// Segment types, as the JBIG2 format numbers them.
constexpr int kPatternDictionary = 16;
constexpr int kPageInformation = 48;
constexpr int kEndOfStripe = 50;
constexpr int kEndOfFile = 51;
constexpr std::uint32_t kUnknown = 0xffffffff;
// The stripe height a decoder assumes for a page of unknown height.
constexpr std::uint64_t kLargestStripe = 0x7fff;

bool isRegion(int type) {
    // Text, halftone, generic and refinement regions: intermediate,
    // immediate and immediate lossless.
    static constexpr int kRegions[] = {4, 6, 7, 20, 22, 23, 36, 38, 39, 40, 42, 43};
    return std::find(std::begin(kRegions), std::end(kRegions), type) != std::end(kRegions);
}

void keepLarger(Jbig2Bitmap& largest, const char* kind, std::uint64_t w, std::uint64_t h) {
    const Jbig2Bitmap seen{kind, w, h};
    if (seen.pixels() > largest.pixels())
        largest = seen;
}

bool readAll(fz_context* c, fz_stream* stm, unsigned char* to, size_t n) {
    return fz_read(c, stm, to, n) == n;
}

bool skipAll(fz_context* c, fz_stream* stm, std::uint64_t n) {
    return fz_skip(c, stm, n) == n;
}

// Reads one segment header and the first bytes of its data, and skips the
// rest. False at the end, or where the next segment cannot be found.
bool scanSegment(fz_context* c, fz_stream* stm, std::uint64_t& pageWidth, Jbig2Bitmap& largest) {
    unsigned char head[6];
    if (!readAll(c, stm, head, sizeof head))
        return false;
    const std::uint32_t number = bigEndian(head, 4);
    const int type = head[4] & 0x3f;
    const bool widePage = (head[4] & 0x40) != 0;
    std::uint64_t referred = head[5] >> 5;
    std::uint64_t skip = 0;
    if (referred == 7) { // the long form: a 29-bit count, then a bit each to retain
        unsigned char more[3];
        if (!readAll(c, stm, more, sizeof more))
            return false;
        referred = std::uint64_t(head[5] & 0x1f) << 24 | std::uint64_t(more[0]) << 16 |
                   std::uint64_t(more[1]) << 8 | more[2];
        skip = (referred + 8) / 8;
    }
    const std::uint64_t numberSize = number <= 256 ? 1 : number <= 65536 ? 2 : 4;
    skip += referred * numberSize + (widePage ? 4 : 1);
    unsigned char length[4];
    if (!skipAll(c, stm, skip) || !readAll(c, stm, length, sizeof length))
        return false;
    const std::uint32_t dataLength = bigEndian(length, 4);

    unsigned char data[19] = {};
    const size_t wanted = std::min<std::uint64_t>(dataLength, sizeof data);
    const size_t got = fz_read(c, stm, data, wanted);
    if (type == kPageInformation && got >= 8) {
        pageWidth = bigEndian(data, 4);
        std::uint64_t height = bigEndian(data + 4, 4);
        if (height == kUnknown) { // grown stripe by stripe
            const std::uint64_t stripe = got >= 19 ? (data[17] << 8 | data[18]) & 0x7fff : 0;
            height = got >= 19 && (data[17] & 0x80) && stripe > 0 ? stripe : kLargestStripe;
        }
        keepLarger(largest, "page", pageWidth, height);
    } else if (type == kEndOfStripe && got >= 4) {
        keepLarger(largest, "page", pageWidth, std::uint64_t(bigEndian(data, 4)) + 1);
    } else if (isRegion(type) && got >= 8) {
        keepLarger(largest, "region", bigEndian(data, 4), bigEndian(data + 4, 4));
    } else if (type == kPatternDictionary && got >= 7) {
        // Every pattern side by side in one bitmap.
        keepLarger(largest, "pattern set", (std::uint64_t(bigEndian(data + 3, 4)) + 1) * data[1],
                   data[2]);
    }
    if (got < wanted || dataLength == kUnknown || type == kEndOfFile)
        return false;
    return skipAll(c, stm, dataLength - got);
}

// Embedded data: segment after segment, without a file header.
void scanStream(fz_context* c, fz_stream* stm, Jbig2Bitmap& largest) {
    std::uint64_t pageWidth = 0;
    while (scanSegment(c, stm, pageWidth, largest)) {
    }
}

bool holdsFilter(fz_context* c, pdf_obj* stream, pdf_obj* name) {
    pdf_obj* filters = pdf_dict_geta(c, stream, PDF_NAME(Filter), PDF_NAME(F));
    if (pdf_name_eq(c, filters, name))
        return true;
    for (int i = 0; i < pdf_array_len(c, filters); ++i)
        if (pdf_name_eq(c, pdf_array_get(c, filters, i), name))
            return true;
    return false;
}

// The image's data with every filter but its last applied, for an image
// whose filters are `filters` (a name or an array of `n`).
fz_stream* openBeforeLastFilter(fz_context* c, pdf_obj* image, pdf_obj* filters, pdf_obj* parms,
                                int n) {
    if (!pdf_is_array(c, filters) || n == 1)
        return pdf_open_raw_stream(c, image);
    pdf_document* doc = pdf_get_indirect_document(c, image);
    pdf_obj* earlier = nullptr;
    fz_stream* raw = nullptr;
    fz_stream* opened = nullptr;
    fz_var(earlier);
    fz_var(raw);
    fz_var(opened);
    fz_try(c) {
        earlier = pdf_copy_dict(c, image);
        pdf_obj* firstFilters = pdf_dict_put_array(c, earlier, PDF_NAME(Filter), n - 1);
        pdf_obj* firstParms = pdf_dict_put_array(c, earlier, PDF_NAME(DecodeParms), n - 1);
        pdf_dict_del(c, earlier, PDF_NAME(F));
        pdf_dict_del(c, earlier, PDF_NAME(DP));
        for (int i = 0; i < n - 1; ++i) {
            pdf_array_push(c, firstFilters, pdf_array_get(c, filters, i));
            pdf_obj* p = pdf_array_get(c, parms, i);
            if (p)
                pdf_array_push(c, firstParms, p);
            else
                pdf_array_push(c, firstParms, PDF_NULL);
        }
        raw = pdf_open_raw_stream(c, image);
        opened = pdf_open_inline_stream(c, doc, earlier, 0, raw, nullptr);
    }
    fz_always(c) {
        fz_drop_stream(c, raw);
        pdf_drop_obj(c, earlier);
    }
    fz_catch(c) {
        fz_rethrow(c);
    }
    return opened;
}

// Reads what one stream declares; a stream that cannot be opened or read
// adds nothing: MuPDF says what is wrong with it when it decodes it.
template <class Open> void scanOpened(fz_context* c, Open open, Jbig2Bitmap& largest) {
    fz_stream* stm = nullptr;
    fz_var(stm);
    fz_try(c) {
        stm = open();
        scanStream(c, stm, largest);
    }
    fz_always(c) {
        fz_drop_stream(c, stm);
    }
    fz_catch(c) {}
}

} // namespace

Jbig2Bitmap jbig2Declared(fz_context* c, pdf_obj* image, bool globalsOnly) {
    Jbig2Bitmap largest;
    if (!pdf_is_stream(c, image))
        return largest;
    pdf_obj* filters = pdf_dict_geta(c, image, PDF_NAME(Filter), PDF_NAME(F));
    pdf_obj* parms = pdf_dict_geta(c, image, PDF_NAME(DecodeParms), PDF_NAME(DP));
    const int n = pdf_is_array(c, filters) ? pdf_array_len(c, filters) : 1;
    const bool inArray = pdf_is_array(c, filters);
    if (n < 1 || !pdf_name_eq(c, inArray ? pdf_array_get(c, filters, n - 1) : filters,
                              PDF_NAME(JBIG2Decode)))
        return largest;
    // Data behind a filter of its own key would come out garbled here.
    if (holdsFilter(c, image, PDF_NAME(Crypt)))
        return largest;
    pdf_obj* globals = pdf_dict_get(
        c, pdf_is_array(c, parms) ? pdf_array_get(c, parms, n - 1) : parms, PDF_NAME(JBIG2Globals));
    if (pdf_is_stream(c, globals) && !holdsFilter(c, globals, PDF_NAME(JBIG2Decode)) &&
        !holdsFilter(c, globals, PDF_NAME(Crypt)))
        scanOpened(
            c, [&] { return pdf_open_stream(c, globals); }, largest);
    if (!globalsOnly)
        scanOpened(
            c, [&] { return openBeforeLastFilter(c, image, filters, parms, n); }, largest);
    return largest;
}

} // namespace glimmet
