// JPEG-2000 for pictures too small for FreeImage's writer.
#pragma once

#include "platform/WorkingFile.h"

#include <FreeImage.h>

namespace extract {

// FreeImage's writer keeps OpenJPEG's six resolution levels, which need a
// picture of at least 32 pixels each way; smaller ones (icons, bullets,
// rules) fail there.
bool TooSmallForFreeImageJpeg2000(FIBITMAP* dib);

// Writes an 8-bit gray, 24-bit or 32-bit bitmap into `file` as a JP2 file
// with as many resolution levels as its size allows, compressed `rate` to 1.
bool SaveSmallJpeg2000(FIBITMAP* dib, platform::WorkingFile& file, int rate);

} // namespace extract
