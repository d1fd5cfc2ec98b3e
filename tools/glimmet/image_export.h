#pragma once

#include "mupdf_context.h"
#include "scratch_file.h"

#include <string>

namespace glimmet {

// Decodes one image and writes it as scratch files:
//   stored as JPEG             -> RGB .ppm (the program keeps these as JPEG)
//   stencil mask, 1-bit gray   -> .pbm, black where the page shows black
//   other gray                 -> .pgm
//   other colour               -> 24-bit .bmp
//   with a mask of its size    -> 32-bit .bmp with straight alpha
// A mask of another size follows the image as a .pgm of its own.
// Throws MuError when MuPDF cannot decode it, WriteError when a file cannot
// be written.
void exportImage(tools::Context& ctx, fz_image* image, ScratchNames& names);

} // namespace glimmet
