#include "mupdf_context.h"

#include "run_limits.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace tools {

namespace {
void discard(void*, const char*) {}

// MuPDF's words for a warning said again and again: "... repeated N times...".
bool repeatsLastWarning(const char* message) {
    return std::strncmp(message, "... repeated ", 13) == 0;
}

// Each block carries its size in front, so that freeing it can give it back.
constexpr size_t kHeader = 16;

void* allocate(void* user, size_t size) {
    auto* allowance = static_cast<MemoryAllowance*>(user);
    if (size > allowance->cap - allowance->used || size > SIZE_MAX - kHeader)
        return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block)
        return nullptr;
    std::memcpy(block, &size, sizeof size);
    allowance->used += size;
    return block + kHeader;
}

void release(void* user, void* p) {
    if (!p)
        return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    size_t size = 0;
    std::memcpy(&size, block, sizeof size);
    static_cast<MemoryAllowance*>(user)->used -= size;
    std::free(block);
}

void* reallocate(void* user, void* p, size_t size) {
    if (!p)
        return allocate(user, size);
    auto* allowance = static_cast<MemoryAllowance*>(user);
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    size_t old = 0;
    std::memcpy(&old, block, sizeof old);
    if (size > old && (size - old > allowance->cap - allowance->used || size > SIZE_MAX - kHeader))
        return nullptr;
    auto* moved = static_cast<unsigned char*>(std::realloc(block, size + kHeader));
    if (!moved)
        return nullptr;
    std::memcpy(moved, &size, sizeof size);
    allowance->used = allowance->used - old + size;
    return moved + kHeader;
}

fz_context* newContext(MemoryAllowance* allowance, size_t storeLimit) {
    allowance->cap = mupdfMemoryCap();
    fz_alloc_context alloc{allowance, allocate, reallocate, release};
    return fz_new_context(&alloc, nullptr, storeLimit);
}

} // namespace

Context::Context(size_t storeLimit) : ctx_(newContext(&allowance_, storeLimit)) {
    if (!ctx_)
        throw std::bad_alloc();
    fz_set_warning_callback(ctx_, onWarning, this);
    fz_set_error_callback(ctx_, discard, nullptr);
}

Context::~Context() {
    fz_drop_context(ctx_);
}

void Context::onWarning(void* self, const char* message) {
    // Called from MuPDF's frames: nothing may escape.
    try {
        auto* context = static_cast<Context*>(self);
        if (!repeatsLastWarning(message) || context->lastWarning_.empty())
            context->lastWarning_ = message;
        if (context->warnings_.size() < 100)
            context->warnings_.push_back(context->lastWarning_);
    } catch (...) {
    }
}

std::vector<std::string> Context::takeWarnings() {
    fz_flush_warnings(ctx_);
    std::vector<std::string> out;
    out.swap(warnings_);
    return out;
}

} // namespace tools
