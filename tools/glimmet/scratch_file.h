#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>

namespace glimmet {

// Writing a scratch file failed (a missing folder, a full disk...).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Fills one row of pixels, top row first, in the layout the format wants.
using RowSource = std::function<void(int y, std::uint8_t* row)>;

// The scratch formats: all uncompressed, which is what writes and reads
// fastest, and all recognised by FreeImage from their content.
void writePbm(const std::string& path, int w, int h, const RowSource& rows);   // packed, 1 = black
void writePgm(const std::string& path, int w, int h, const RowSource& rows);   // 8-bit gray
void writePpm(const std::string& path, int w, int h, const RowSource& rows);   // 8-bit RGB
void writeBmp24(const std::string& path, int w, int h, const RowSource& rows); // BGR
void writeBmp32(const std::string& path, int w, int h,
                const RowSource& rows); // BGRA, straight alpha

} // namespace glimmet
