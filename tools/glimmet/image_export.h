#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"
#include "scratch_names.h"

#include <vector>

namespace glimmet {

// What becomes of an image's mask or alpha in its file.
enum class MaskUse { None, SameSize, ColourKey, OwnAlpha, Stencil, Separate };

// How one scratch file is made.
enum class FileStep {
    KeptBytes,  // the document's own bytes
    JpegAsPnm,  // a JPEG decoded row by row straight into a gray or RGB map
    BitsAsPbm,  // 1-bit data copied into the .pbm as it decompresses
    Stencil,    // a decoded stencil mask: black where it paints
    Bilevel,    // decoded 1-bit gray: black where it is dark
    JpegPixels, // a JPEG's decoded pixels as a gray or RGB map
    Gray,       // decoded gray
    Colour,     // decoded colour as RGB
    WithAlpha,  // decoded colour with its alpha or same-size mask
    MaskAsGray, // a mask of another size than its image: its coverage
};

// One scratch file of an image's export, of the kinds the contract names:
//   kept as its own bytes      -> kKeptJpeg or kKeptJpx, not decoded
//   stored as JPEG             -> kStoredAsJpeg, gray or RGB map
//   stencil mask, 1-bit gray   -> kBilevel, black where the page shows black
//   other gray                 -> kGray
//   other colour               -> kColour, 24-bit
//   with a mask of its size    -> kColour, 32-bit with straight alpha
// A mask of another size follows the image as a kGray of its own.
struct PlannedFile {
    const char* extension;
    FileStep step;
    int w = 0, h = 0;
    int components = 0;         // channels in the file, alpha included
    int bits = 0;               // a channel
    fz_image* source = nullptr; // the image, or its mask
    MaskUse mask = MaskUse::None;
    bool kept = false; // the document's own bytes
};

// Throws MuError when the image or its mask is known not to decode as the
// document says: JPEG data of another size, JBIG2 data cut short.
void checkBeforeDecoding(fz_context* c, fz_image* image);

// The image's pixels as MuPDF decodes them. Throws MuError when it cannot,
// or patched damaged data up with pixels it made up.
tools::Pixmap decodeWhole(tools::Context& ctx, fz_image* image);
// The same, but MuPDF may subsample it on decoding, as long as it stays at
// least `w` x `h`: a thumbnail costs a fraction of the whole.
tools::Pixmap decodeReduced(tools::Context& ctx, fz_image* image, int w, int h);

// The files `image` makes, in order, decided without decoding it: listing
// says what they are, extracting writes them. Throws MuError where the
// image is known to fail before it is decoded.
std::vector<PlannedFile> planExport(tools::Context& ctx, fz_image* image, const KeptPicture& kept);

// Writes the planned files of `image` as scratch files, decoding it as the
// plan's steps need. Throws MuError when MuPDF cannot decode it or it does
// not decode as planned, WriteError when a file cannot be written.
void exportImage(tools::Context& ctx, const std::vector<PlannedFile>& plan, const KeptPicture& kept,
                 ScratchNames& names);

} // namespace glimmet
