// SHA-256 of the files a run writes and of the pixels the tool compares,
// from the system's library: nettle, whose static archive the tools link
// and which picks the processor's SHA instructions at run time; CryptoAPI
// on Windows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace digest {

class Sha256 {
public:
    Sha256();
    ~Sha256();

    void Add(const void* data, std::size_t size);
    // The digest in lower-case hex; the object is spent afterwards.
    std::string Hex();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// A file's size and digest, taken in one reading.
struct SizedDigest {
    std::uint64_t size = 0;
    std::string sha256;
};
// Nothing when the file cannot be read.
std::optional<SizedDigest> FileSizeAndSha256(const std::string& path);

// Bytes as lower-case hex.
std::string HexText(const unsigned char* bytes, std::size_t size);

} // namespace digest
