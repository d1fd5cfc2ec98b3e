#pragma once

#include "mupdf_context.h"
#include "scratch_file.h"

#include <string>

namespace glimmet {

// Decodes one image and writes it as scratch files, of the kinds the
// contract names:
//   stored as JPEG             -> kBornJpeg, RGB (the program keeps these as JPEG)
//   stencil mask, 1-bit gray   -> kBilevel, black where the page shows black
//   other gray                 -> kGray
//   other colour               -> kColour, 24-bit
//   with a mask of its size    -> kColour, 32-bit with straight alpha
// A mask of another size follows the image as a kGray of its own.
// Throws MuError when MuPDF cannot decode it, WriteError when a file cannot
// be written.
void exportImage(tools::Context& ctx, fz_image* image, ScratchNames& names);

} // namespace glimmet
