#pragma once

#include "scratch_output.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace glimmet {

// Fills one row of pixels, top row first, in the layout the format wants.
// The last call may still find the data damaged and throw: the file is then
// never shown.
using RowSource = std::function<void(int y, std::uint8_t* row)>;

// The scratch formats: all uncompressed, which is what writes and reads
// fastest, and all recognised by FreeImage from their content. Each throws
// WriteError for an image without pixels.
void writePbm(ScratchOutput& out, int w, int h, const RowSource& rows);   // packed, 1 = black
void writePgm(ScratchOutput& out, int w, int h, const RowSource& rows);   // 8-bit gray
void writePpm(ScratchOutput& out, int w, int h, const RowSource& rows);   // 8-bit RGB
void writeBmp24(ScratchOutput& out, int w, int h, const RowSource& rows); // BGR
void writeBmp32(ScratchOutput& out, int w, int h,
                const RowSource& rows); // BGRA, straight alpha

// A file of bytes as they are, written from runs of memory in turn.
struct ByteRun {
    const unsigned char* data;
    size_t size;
};
void writeBytes(ScratchOutput& out, const std::vector<ByteRun>& runs);

} // namespace glimmet
