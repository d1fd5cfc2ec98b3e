#include "text/Windows1252.h"

#include <cstdint>

namespace text {

namespace {

// The code points of bytes 0x80 to 0x9F; the rest are Latin-1.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

std::string Windows1252ToUtf8(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (const char c : s) {
        const auto byte = static_cast<std::uint8_t>(c);
        const char32_t cp = byte >= 0x80 && byte < 0xA0 ? kHighControls[byte - 0x80] : byte;
        AppendUtf8(out, cp);
    }
    return out;
}

} // namespace text
