#pragma once

#include "mupdf_context.h"
#include "scratch_output.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace glimmet {

// A plain gray or RGB JPEG, with nothing in the PDF that changes its
// colours, decodes straight from its bytes into a gray or RGB map, one row
// at a time: MuPDF's filter chain would only copy every byte once more and
// hold the whole picture in memory. Only for an image canWriteJpegAsPnm()
// takes; throws MuError when the JPEG data is damaged or not of the
// image's size, WriteError when the file cannot be written.
void writeJpegAsPnm(fz_context* ctx, fz_image* image, ScratchOutput& out);

// Whether writeJpegAsPnm takes the image, as far as the document says.
bool canWriteJpegAsPnm(fz_context* ctx, fz_image* image);

// The rows of an image canWriteJpegAsPnm() takes, decoded one at a time
// into gray or RGB, as the page shows them. Throws MuError when the JPEG
// data is damaged or not of the image's size.
// With `scale` (1, 2, 4 or 8) the rows are those of the picture reduced to
// 1/scale of its size by the JPEG decoder itself, which skips most of the
// work.
class JpegRows {
public:
    JpegRows(fz_context* ctx, fz_image* image, int scale = 1);
    ~JpegRows();
    JpegRows(const JpegRows&) = delete;
    JpegRows& operator=(const JpegRows&) = delete;

    int width() const;
    int height() const;
    // The next row, width() times the image's components.
    void next(std::uint8_t* row);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Throws MuError when the JPEG data of an image stored as JPEG does not hold
// what the document says: another number of colour components, or another
// size. MuPDF would read such data as stripes or cut it, without a word.
void checkJpegMatchesImage(fz_context* ctx, fz_image* image);

// Whether the image's JPEG data decodes to its last row without damage. A
// missing end marker is supplied, as every decoder assumes it; data that
// ends before the last row does not decode whole.
bool jpegDecodesWhole(fz_context* ctx, fz_image* image);

// What a JPEG's header says, as a viewer that opens the bytes reads it.
struct JpegHeader {
    int w = 0, h = 0;
    int components = 0;
    int precision = 0;
    bool adobe = false;     // an Adobe marker, which says the samples of CMYK are inverted
    bool fromYcc = false;   // a viewer turns the samples from YCbCr (or YCCK) into colours
    bool adobeYcc = false;  // the Adobe marker's own word on that
    bool endMarker = false; // the data ends with its end marker
};
std::optional<JpegHeader> readJpegHeader(const unsigned char* data, size_t len);

} // namespace glimmet
