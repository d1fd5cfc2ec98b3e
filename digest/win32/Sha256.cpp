#include "Sha256.h"

#include <windows.h>
// After windows.h, whose types it takes.
#include <wincrypt.h>

namespace digest {

// The system's own SHA-256, there since Windows XP.
struct Sha256::State {
    HCRYPTPROV provider = 0;
    HCRYPTHASH hash = 0;
    // No digest at all rather than a wrong one.
    bool failed = false;

    State() {
        failed = !CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_AES,
                                       CRYPT_VERIFYCONTEXT | CRYPT_SILENT) ||
                 !CryptCreateHash(provider, CALG_SHA_256, 0, 0, &hash);
    }
    ~State() {
        if (hash)
            CryptDestroyHash(hash);
        if (provider)
            CryptReleaseContext(provider, 0);
    }
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Add(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const BYTE*>(data);
    // CryptHashData takes a DWORD's worth at a time.
    for (std::size_t step = 0; size > 0 && !state_->failed; bytes += step, size -= step) {
        step = size < 0x40000000 ? size : 0x40000000;
        state_->failed = !CryptHashData(state_->hash, bytes, static_cast<DWORD>(step), 0);
    }
}

std::string Sha256::Hex() {
    BYTE bytes[32];
    DWORD size = sizeof bytes;
    if (state_->failed || !CryptGetHashParam(state_->hash, HP_HASHVAL, bytes, &size, 0))
        return {};
    return HexText(bytes, size);
}

} // namespace digest
