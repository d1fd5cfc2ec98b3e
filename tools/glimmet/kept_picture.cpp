#include "kept_picture.h"

#include "ToolContract.h"
#include "big_endian.h"
#include "jpeg_direct.h"
#include "scratch_formats.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace glimmet {

namespace {

bool decodeIs(const fz_image* image, float zero, float one) {
    for (int i = 0; i < image->n; ++i)
        if (image->decode[2 * i] != zero || image->decode[2 * i + 1] != one)
            return false;
    return true;
}

bool decodeChangesNothing(const fz_image* image) {
    return !image->use_decode || decodeIs(image, 0, 1);
}

bool decodeInvertsAll(const fz_image* image) {
    return image->use_decode && decodeIs(image, 1, 0);
}

// A mask the job lays into the picture as its alpha. A mask of another
// size is written as a file of its own and leaves the picture alone.
bool mergesMask(const fz_image* image) {
    const fz_image* mask = image->mask;
    return image->use_colorkey || (mask && mask->w == image->w && mask->h == image->h);
}

// Gray, RGB or CMYK of `n` components, whose values a viewer takes from
// the picture's own bytes: device, calibrated and ICC-based spaces.
bool plainColours(fz_context* c, fz_colorspace* cs, int n) {
    if (!cs || fz_colorspace_is_indexed(c, cs) || fz_colorspace_is_device_n(c, cs) ||
        fz_colorspace_is_lab(c, cs) || fz_colorspace_is_lab_icc(c, cs))
        return false;
    return (fz_colorspace_is_gray(c, cs) || fz_colorspace_is_rgb(c, cs) ||
            fz_colorspace_is_cmyk(c, cs)) &&
           fz_colorspace_n(c, cs) == n;
}

KeptPicture keptJpeg(fz_context* c, fz_image* image) {
    fz_compressed_buffer* cb = fz_compressed_image_buffer(c, image);
    if (!cb || cb->params.type != FZ_IMAGE_JPEG || image->imagemask || image->bpc != 8 ||
        mergesMask(image) || !plainColours(c, image->colorspace, image->n))
        return {};
    unsigned char* data = nullptr;
    const size_t len = fz_buffer_storage(c, cb->buffer, &data);
    const std::optional<JpegHeader> header = readJpegHeader(data, len);
    // Data cut short, or of another size, goes the decoding way, which
    // tells what is wrong with it.
    if (!header || header->components != image->n || header->w != image->w ||
        header->h != image->h || header->precision != 8 || !header->endMarker)
        return {};
    if (image->n == 4) {
        // Viewers read the CMYK of an Adobe JPEG as inverted; the page shows
        // it so when exactly one inversion is applied to its samples.
        if (!header->adobe || decodeInvertsAll(image) == bool(image->invert_cmyk_jpeg))
            return {};
    } else if (!decodeChangesNothing(image)) {
        return {};
    }
    if (image->n > 1) {
        // The page and a viewer must agree on whether the samples are YCC.
        const int transform = cb->params.u.jpeg.color_transform;
        if (header->adobe && transform != -1 && (transform != 0) != header->adobeYcc)
            return {};
        const bool pageYcc = transform != -1 ? transform != 0
                             : header->adobe ? header->adobeYcc
                                             : image->n == 3;
        if (pageYcc != header->fromYcc)
            return {};
    }
    KeptPicture kept;
    kept.extension = contract::kKeptJpeg;
    kept.components = image->n;
    kept.bytes = Buffer(c, fz_keep_buffer(c, cb->buffer));
    return kept;
}

// What a JPEG-2000 codestream's image and size marker say.
struct Codestream {
    std::uint32_t w = 0, h = 0;
    int components = 0;
    bool eightBit = true; // every component 8-bit unsigned, none subsampled
};

std::optional<Codestream> readCodestream(const unsigned char* p, size_t len) {
    if (len < 42 || bigEndian(p, 2) != 0xFF4F || bigEndian(p + 2, 2) != 0xFF51)
        return std::nullopt;
    Codestream cs;
    const std::uint32_t x = bigEndian(p + 8, 4), y = bigEndian(p + 12, 4),
                        x0 = bigEndian(p + 16, 4), y0 = bigEndian(p + 20, 4);
    if (x <= x0 || y <= y0)
        return std::nullopt;
    cs.w = x - x0;
    cs.h = y - y0;
    cs.components = bigEndian(p + 40, 2);
    if (len < 42 + size_t(cs.components) * 3)
        return std::nullopt;
    for (int i = 0; i < cs.components; ++i) {
        const unsigned char* comp = p + 42 + 3 * i;
        cs.eightBit = cs.eightBit && comp[0] == 7 && comp[1] == 1 && comp[2] == 1;
    }
    return cs;
}

struct Box {
    std::uint32_t type = 0;
    const unsigned char* data = nullptr;
    size_t len = 0;
};

constexpr std::uint32_t boxType(const char (&name)[5]) {
    return std::uint32_t(static_cast<unsigned char>(name[0])) << 24 |
           std::uint32_t(static_cast<unsigned char>(name[1])) << 16 |
           std::uint32_t(static_cast<unsigned char>(name[2])) << 8 |
           static_cast<unsigned char>(name[3]);
}

// The boxes of one level of a JP2 file; nothing when one overruns.
std::optional<std::vector<Box>> readBoxes(const unsigned char* p, size_t len) {
    std::vector<Box> boxes;
    size_t at = 0;
    while (at < len) {
        if (len - at < 8)
            return std::nullopt;
        std::uint64_t size = bigEndian(p + at, 4);
        size_t header = 8;
        if (size == 1) {
            if (len - at < 16)
                return std::nullopt;
            size = std::uint64_t(bigEndian(p + at + 8, 4)) << 32 | bigEndian(p + at + 12, 4);
            header = 16;
        } else if (size == 0) {
            size = len - at;
        }
        if (size < header || size > len - at)
            return std::nullopt;
        boxes.push_back(
            {bigEndian(p + at + 4, 4), p + at + header, static_cast<size_t>(size) - header});
        at += static_cast<size_t>(size);
    }
    return boxes;
}

const Box* find(const std::vector<Box>& boxes, std::uint32_t type) {
    for (const Box& box : boxes)
        if (box.type == type)
            return &box;
    return nullptr;
}

// The codestream of a JP2 file whose header a viewer reads as the page
// shows it: no palette, no remapped or extra channels, colours named by
// the usual enumerations or a profile. Nothing for any other file.
std::optional<Box> plainJp2Codestream(const unsigned char* p, size_t len) {
    const std::optional<std::vector<Box>> top = readBoxes(p, len);
    if (!top)
        return std::nullopt;
    const Box* jp2h = find(*top, boxType("jp2h"));
    const Box* jp2c = find(*top, boxType("jp2c"));
    if (!jp2h || !jp2c)
        return std::nullopt;
    const std::optional<std::vector<Box>> header = readBoxes(jp2h->data, jp2h->len);
    if (!header || find(*header, boxType("pclr")) || find(*header, boxType("cmap")) ||
        find(*header, boxType("cdef")))
        return std::nullopt;
    const Box* colr = find(*header, boxType("colr"));
    if (!colr || colr->len < 3)
        return std::nullopt;
    if (colr->data[0] == 1) {
        const std::uint32_t space = colr->len >= 7 ? bigEndian(colr->data + 3, 4) : 0;
        if (space != 16 && space != 17 && space != 18) // sRGB, gray, sYCC
            return std::nullopt;
    } else if (colr->data[0] != 2) {
        return std::nullopt;
    }
    return *jp2c;
}

bool isJp2File(const unsigned char* p, size_t len) {
    static const unsigned char signature[] = {0,   0,   0,    0x0C, 'j',  'P',
                                              ' ', ' ', 0x0D, 0x0A, 0x87, 0x0A};
    return len >= sizeof signature && std::memcmp(p, signature, sizeof signature) == 0;
}

// Whether every filter but the last only undoes an encoding of the bytes,
// and the last is `last`.
bool onlyByteFiltersBefore(fz_context* c, pdf_obj* dict, pdf_obj* last) {
    static pdf_obj* const bytes[] = {
        PDF_NAME(ASCIIHexDecode),  PDF_NAME(AHx), PDF_NAME(ASCII85Decode), PDF_NAME(A85),
        PDF_NAME(LZWDecode),       PDF_NAME(LZW), PDF_NAME(FlateDecode),   PDF_NAME(Fl),
        PDF_NAME(RunLengthDecode), PDF_NAME(RL)};
    pdf_obj* filter = pdf_dict_get(c, dict, PDF_NAME(Filter));
    const int n = pdf_is_array(c, filter) ? pdf_array_len(c, filter) : 1;
    for (int i = 0; i < n; ++i) {
        pdf_obj* f = pdf_is_array(c, filter) ? pdf_array_get(c, filter, i) : filter;
        if (i == n - 1)
            return pdf_name_eq(c, f, last);
        bool known = false;
        for (pdf_obj* b : bytes)
            known = known || pdf_name_eq(c, f, b);
        if (!known)
            return false;
    }
    return false;
}

KeptPicture keptJpx(fz_context* c, pdf_document* doc, const PageImage& found, fz_image* image) {
    if (found.objectNumber <= 0 || image->imagemask || mergesMask(image) ||
        !decodeChangesNothing(image))
        return {};
    // MuPDF decodes JPEG-2000 as it loads it; the pixels it made say what
    // the page shows.
    const fz_pixmap* tile = fz_pixmap_image_tile(c, reinterpret_cast<fz_pixmap_image*>(image));
    if (!tile || tile->alpha || !tile->colorspace)
        return {};
    const int n = fz_colorspace_n(c, tile->colorspace);
    if (tile->n != n || !plainColours(c, tile->colorspace, n) ||
        fz_colorspace_is_cmyk(c, tile->colorspace))
        return {};
    const tools::Object object = tools::objectByNumber(c, doc, found.objectNumber);
    pdf_obj* dict = object.get();
    const bool plainDictionary = tools::guarded(c, [&] {
        pdf_obj* space = pdf_dict_get(c, dict, PDF_NAME(ColorSpace));
        return onlyByteFiltersBefore(c, dict, PDF_NAME(JPXDecode)) &&
               pdf_dict_get_int(c, dict, PDF_NAME(SMaskInData)) == 0 &&
               !pdf_dict_get(c, dict, PDF_NAME(Decode)) &&
               (!space || plainColours(c, image->colorspace, n));
    });
    if (!plainDictionary)
        return {};
    Buffer bytes(c, tools::guarded(c, [&] { return pdf_load_stream(c, dict); }));
    unsigned char* data = nullptr;
    const size_t len = fz_buffer_storage(c, bytes.get(), &data);
    const bool file = isJp2File(data, len);
    std::optional<Codestream> cs;
    if (file) {
        if (const std::optional<Box> jp2c = plainJp2Codestream(data, len))
            cs = readCodestream(jp2c->data, jp2c->len);
    } else {
        cs = readCodestream(data, len);
    }
    if (!cs || !cs->eightBit || cs->components != n || cs->w != std::uint32_t(tile->w) ||
        cs->h != std::uint32_t(tile->h))
        return {};
    KeptPicture kept;
    kept.extension = contract::kKeptJpx;
    kept.components = n;
    kept.bytes = std::move(bytes);
    kept.bareCodestream = !file;
    return kept;
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}
void putType(std::vector<unsigned char>& out, const char (&name)[5]) {
    out.insert(out.end(), name, name + 4);
}

// The boxes of a JP2 file before a codestream of `len` bytes: signature,
// file type, image header and colours, and the codestream's own header.
std::vector<unsigned char> jp2Boxes(const Codestream& cs, size_t len) {
    std::vector<unsigned char> out;
    out.reserve(12 + 20 + 8 + 22 + 15 + 8); // the boxes below, whole
    put32(out, 12);
    putType(out, "jP  ");
    put32(out, 0x0D0A870A);
    put32(out, 20);
    putType(out, "ftyp");
    putType(out, "jp2 ");
    put32(out, 0);
    putType(out, "jp2 ");
    put32(out, 8 + 22 + 15);
    putType(out, "jp2h");
    put32(out, 22);
    putType(out, "ihdr");
    put32(out, cs.h);
    put32(out, cs.w);
    out.push_back(static_cast<unsigned char>(cs.components >> 8));
    out.push_back(static_cast<unsigned char>(cs.components));
    out.insert(out.end(), {7, 7, 0, 0}); // 8-bit unsigned, wavelet-coded, colours known
    put32(out, 15);
    putType(out, "colr");
    out.insert(out.end(), {1, 0, 0});
    put32(out, cs.components == 1 ? 17 : 16); // gray, sRGB
    // A codestream too long for the short length runs to the end of the file.
    put32(out, len <= 0xFFFFFFF7u ? static_cast<std::uint32_t>(len + 8) : 0);
    putType(out, "jp2c");
    return out;
}

} // namespace

KeptPicture keptPicture(tools::Context& ctx, pdf_document* doc, const PageImage& found,
                        fz_image* image, KeepKind kind) {
    switch (kind) {
    case KeepKind::None:
        return {};
    case KeepKind::Jpeg:
        return keptJpeg(ctx.get(), image);
    case KeepKind::Jpx:
        return keptJpx(ctx.get(), doc, found, image);
    }
    return {};
}

void writeKeptPicture(fz_context* c, const KeptPicture& kept, ScratchOutput& out) {
    unsigned char* data = nullptr;
    const size_t len = fz_buffer_storage(c, kept.bytes.get(), &data);
    std::vector<ByteRun> runs;
    std::vector<unsigned char> boxes;
    if (kept.bareCodestream) {
        boxes = jp2Boxes(*readCodestream(data, len), len);
        runs.push_back({boxes.data(), boxes.size()});
    }
    runs.push_back({data, len});
    writeBytes(out, runs);
}

} // namespace glimmet
