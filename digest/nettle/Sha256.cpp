#include "Sha256.h"

#include <nettle/sha2.h>

namespace digest {

struct Sha256::State {
    sha256_ctx context;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
    sha256_init(&state_->context);
}

Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size) {
    sha256_update(&state_->context, size, static_cast<const std::uint8_t*>(data));
}

std::string Sha256::Hex() {
    std::uint8_t bytes[SHA256_DIGEST_SIZE];
    sha256_digest(&state_->context, sizeof bytes, bytes);
    return HexText(bytes, sizeof bytes);
}

} // namespace digest
