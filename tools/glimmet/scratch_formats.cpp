#include "scratch_formats.h"

#include <limits>
#include <string>

namespace glimmet {

namespace {

void checkSize(int w, int h) {
    if (w <= 0 || h <= 0)
        throw WriteError("the image has no pixels");
}

void writePnm(ScratchOutput& out, const char* magic, int w, int h, size_t rowBytes,
              const RowSource& rows) {
    checkSize(w, h);
    std::string header = std::string(magic) + "\n" + std::to_string(w) + " " + std::to_string(h) +
                         "\n" + (magic[1] == '4' ? "" : "255\n");
    out.write(header.data(), header.size());
    std::vector<std::uint8_t> row(rowBytes);
    for (int y = 0; y < h; ++y) {
        rows(y, row.data());
        out.write(row.data(), row.size());
    }
}

void put16(std::uint8_t* p, unsigned v) {
    p[0] = v & 0xff;
    p[1] = (v >> 8) & 0xff;
}
void put32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (v >> (8 * i)) & 0xff;
}

void writeBmp(ScratchOutput& out, int w, int h, int bytesPerPixel, const RowSource& rows) {
    checkSize(w, h);
    const size_t rowBytes = static_cast<size_t>(w) * bytesPerPixel;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    const size_t pixelBytes = stride * static_cast<size_t>(h);
    constexpr size_t headerBytes = 14 + 40;
    if (pixelBytes > std::numeric_limits<std::uint32_t>::max() - headerBytes)
        throw WriteError("cannot write " + out.path() +
                         ": the image is too large for a bitmap file");

    std::uint8_t header[headerBytes] = {};
    header[0] = 'B';
    header[1] = 'M';
    put32(header + 2, static_cast<std::uint32_t>(headerBytes + pixelBytes));
    put32(header + 10, headerBytes);
    put32(header + 14, 40);
    put32(header + 18, static_cast<std::uint32_t>(w));
    put32(header + 22, static_cast<std::uint32_t>(h)); // positive: bottom row first
    put16(header + 26, 1);
    put16(header + 28, bytesPerPixel * 8);
    put32(header + 34, static_cast<std::uint32_t>(pixelBytes));
    put32(header + 38, 2835); // 72 dpi
    put32(header + 42, 2835);

    out.write(header, sizeof header);
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = h - 1; y >= 0; --y) {
        rows(y, row.data());
        out.write(row.data(), row.size());
    }
}

} // namespace

void writePbm(ScratchOutput& out, int w, int h, const RowSource& rows) {
    writePnm(out, "P4", w, h, (static_cast<size_t>(w) + 7) / 8, rows);
}
void writePgm(ScratchOutput& out, int w, int h, const RowSource& rows) {
    writePnm(out, "P5", w, h, static_cast<size_t>(w), rows);
}
void writePpm(ScratchOutput& out, int w, int h, const RowSource& rows) {
    writePnm(out, "P6", w, h, static_cast<size_t>(w) * 3, rows);
}
void writeBmp24(ScratchOutput& out, int w, int h, const RowSource& rows) {
    writeBmp(out, w, h, 3, rows);
}
void writeBmp32(ScratchOutput& out, int w, int h, const RowSource& rows) {
    writeBmp(out, w, h, 4, rows);
}

void writeBytes(ScratchOutput& out, const std::vector<ByteRun>& runs) {
    for (const ByteRun& run : runs)
        out.write(run.data, run.size);
}

} // namespace glimmet
