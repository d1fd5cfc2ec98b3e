#pragma once

#include <cstdint>

namespace glimmet {

// The unsigned number in the `bytes` bytes at `p`, most significant first,
// as image headers and JBIG2 segments store their numbers (at most four).
inline std::uint32_t bigEndian(const unsigned char* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v = v << 8 | p[i];
    return v;
}

} // namespace glimmet
