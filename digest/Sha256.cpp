#include "Sha256.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <cpuid.h>
#include <immintrin.h>
#endif

namespace digest {

namespace {

constexpr std::uint32_t kRound[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t Rotate(std::uint32_t x, int n) {
    return (x >> n) | (x << (32 - n));
}

#if defined(__x86_64__) && defined(__GNUC__)
// Whether the processor has the SHA extensions (leaf 7, EBX bit 29) and
// SSE4.1 (leaf 1, ECX bit 19), which the fast path needs.
bool HasShaInstructions() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (!__get_cpuid(1, &a, &b, &c, &d) || !(c & (1u << 19)))
        return false;
    if (!__get_cpuid_count(7, 0, &a, &b, &c, &d))
        return false;
    return (b & (1u << 29)) != 0;
}

// `count` blocks with the processor's SHA-256 instructions. They keep the
// working values as ABEF and CDGH and do two rounds a step; the message
// schedule takes four words a step.
__attribute__((target("sha,sse4.1"))) void
ShaInstructionBlocks(std::uint32_t* state, const unsigned char* data, std::size_t count) {
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    // A B C D and E F G H as they lie, into ABEF and CDGH.
    __m128i abcd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state));
    __m128i efgh = _mm_loadu_si128(reinterpret_cast<const __m128i*>(state + 4));
    abcd = _mm_shuffle_epi32(abcd, 0xB1); // B A D C
    efgh = _mm_shuffle_epi32(efgh, 0x1B); // H G F E
    __m128i abef = _mm_alignr_epi8(abcd, efgh, 8);
    __m128i cdgh = _mm_blend_epi16(efgh, abcd, 0xF0);
    for (; count > 0; --count, data += 64) {
        const __m128i abefBefore = abef, cdghBefore = cdgh;
        __m128i w[4];
#pragma GCC unroll 16
        for (int step = 0; step < 16; ++step) {
            __m128i& words = w[step % 4];
            if (step < 4) {
                words = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * step)), byteSwap);
            } else {
                // W[t-16] + s0(W[t-15]) + W[t-7], then + s1(W[t-2]).
                const __m128i early = _mm_sha256msg1_epu32(words, w[(step + 1) % 4]);
                const __m128i seventh = _mm_alignr_epi8(w[(step + 3) % 4], w[(step + 2) % 4], 4);
                words = _mm_sha256msg2_epu32(_mm_add_epi32(early, seventh), w[(step + 3) % 4]);
            }
            __m128i k = _mm_add_epi32(
                words, _mm_loadu_si128(reinterpret_cast<const __m128i*>(kRound + 4 * step)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
            k = _mm_shuffle_epi32(k, 0x0E);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, k);
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }
    // And back to A B C D, E F G H.
    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}
#endif

} // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::Block(const unsigned char* block) {
    std::uint32_t w[64];
    for (int i = 0; i < 16; ++i)
        w[i] = std::uint32_t(block[4 * i]) << 24 | std::uint32_t(block[4 * i + 1]) << 16 |
               std::uint32_t(block[4 * i + 2]) << 8 | std::uint32_t(block[4 * i + 3]);
    for (int i = 16; i < 64; ++i) {
        const std::uint32_t s0 = Rotate(w[i - 15], 7) ^ Rotate(w[i - 15], 18) ^ (w[i - 15] >> 3);
        const std::uint32_t s1 = Rotate(w[i - 2], 17) ^ Rotate(w[i - 2], 19) ^ (w[i - 2] >> 10);
        w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    // Named working values rather than a shifted array: the compiler keeps
    // them in registers, which is most of the hashing's speed.
    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3], e = state_[4],
                  f = state_[5], g = state_[6], h = state_[7];
    for (int i = 0; i < 64; ++i) {
        const std::uint32_t t1 = h + (Rotate(e, 6) ^ Rotate(e, 11) ^ Rotate(e, 25)) +
                                 ((e & f) ^ (~e & g)) + kRound[i] + w[i];
        const std::uint32_t t2 =
            (Rotate(a, 2) ^ Rotate(a, 13) ^ Rotate(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::uint32_t v[8] = {a, b, c, d, e, f, g, h};
    for (int i = 0; i < 8; ++i)
        state_[i] += v[i];
}

void Sha256::Blocks(const unsigned char* data, std::size_t count) {
#if defined(__x86_64__) && defined(__GNUC__)
    static const bool instructions = HasShaInstructions();
    if (instructions) {
        ShaInstructionBlocks(state_, data, count);
        return;
    }
#endif
    for (; count > 0; --count, data += sizeof buffer_)
        Block(data);
}

void Sha256::Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    length_ += size;
    while (size > 0) {
        // Whole blocks are hashed where they lie.
        if (buffered_ == 0 && size >= sizeof buffer_) {
            const std::size_t whole = size / sizeof buffer_ * sizeof buffer_;
            Blocks(bytes, whole / sizeof buffer_);
            bytes += whole;
            size -= whole;
            continue;
        }
        const std::size_t take = std::min(size, sizeof buffer_ - buffered_);
        std::memcpy(buffer_ + buffered_, bytes, take);
        buffered_ += take;
        bytes += take;
        size -= take;
        if (buffered_ == sizeof buffer_) {
            Blocks(buffer_, 1);
            buffered_ = 0;
        }
    }
}

std::string Sha256::Hex() {
    const std::uint64_t bits = length_ * 8;
    const unsigned char one = 0x80, zero = 0;
    Add(&one, 1);
    while (buffered_ != 56)
        Add(&zero, 1);
    unsigned char tail[8];
    for (int i = 0; i < 8; ++i)
        tail[i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    Add(tail, sizeof tail);
    std::string hex;
    for (std::uint32_t word : state_) {
        char part[9];
        std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(word));
        hex += part;
    }
    return hex;
}

} // namespace digest
