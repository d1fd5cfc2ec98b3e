#include "Sha256.h"

#include <cstdio>
#include <memory>

namespace digest {

std::string HexText(const unsigned char* bytes, std::size_t size) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (std::size_t i = 0; i < size; ++i) {
        hex += kDigits[bytes[i] >> 4];
        hex += kDigits[bytes[i] & 15];
    }
    return hex;
}

std::optional<SizedDigest> FileSizeAndSha256(const std::string& path) {
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                               &std::fclose);
    if (!file)
        return std::nullopt;
    Sha256 sha;
    SizedDigest digest;
    unsigned char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        sha.Add(buffer, n);
        digest.size += n;
    }
    if (std::ferror(file.get()))
        return std::nullopt;
    digest.sha256 = sha.Hex();
    return digest;
}

} // namespace digest
