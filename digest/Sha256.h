// SHA-256, with the processor's SHA instructions where it has them: the
// digests of the files a run writes, and of the pixels the tool compares.
// Plain C++, so that the static tools link it as the program does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace digest {

class Sha256 {
public:
    Sha256();
    void Add(const void* data, std::size_t size);
    // The digest in lower-case hex; the object is spent afterwards.
    std::string Hex();

private:
    // `count` blocks of 64 bytes.
    void Blocks(const unsigned char* data, std::size_t count);
    void Block(const unsigned char* block);

    std::uint32_t state_[8];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // in bytes
};

} // namespace digest
