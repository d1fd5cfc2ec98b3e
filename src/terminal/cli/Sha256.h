// SHA-256 digests of the files a run writes, for its manifest.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace cli {

class Sha256 {
public:
    Sha256();
    void Add(const void* data, std::size_t size);
    // The digest in lower-case hex; the object is spent afterwards.
    std::string Hex();

private:
    void Block(const unsigned char* block);

    std::uint32_t state_[8];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // in bytes
};

// The digest of the file's bytes; nothing when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);

} // namespace cli
