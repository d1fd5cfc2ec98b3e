#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"
#include "scratch_file.h"

#include <string>
#include <vector>

namespace glimmet {

// Decodes one image and writes it as scratch files, of the kinds the
// contract names:
//   kept as its own bytes      -> kKeptJpeg or kKeptJpx, not decoded
//   stored as JPEG             -> kBornJpeg, RGB (the program keeps these as JPEG)
//   stencil mask, 1-bit gray   -> kBilevel, black where the page shows black
//   other gray                 -> kGray
//   other colour               -> kColour, 24-bit
//   with a mask of its size    -> kColour, 32-bit with straight alpha
// A mask of another size follows the image as a kGray of its own.
// Throws MuError when MuPDF cannot decode it, WriteError when a file cannot
// be written.
void exportImage(tools::Context& ctx, fz_image* image, ScratchNames& names,
                 const KeptPicture& kept);

// What becomes of an image's mask or alpha in its file.
enum class MaskWay { None, SameSize, ColourKey, OwnAlpha, Stencil, Separate };

// One scratch file as exportImage writes it.
struct PlannedFile {
    const char* extension;
    int w = 0, h = 0;
    int components = 0;         // channels in the file, alpha included
    int bits = 0;               // a channel
    fz_image* source = nullptr; // the image, or its mask
    MaskWay mask = MaskWay::None;
    bool kept = false; // the document's own bytes
};

// The files exportImage writes for `image`, in order, found without
// decoding it. Throws MuError where exportImage fails before it decodes.
std::vector<PlannedFile> planExport(tools::Context& ctx, fz_image* image, const KeptPicture& kept);

} // namespace glimmet
