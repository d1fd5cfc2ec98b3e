#include "mupdf_context.h"

#include <new>

namespace tools {

namespace {
void discard(void*, const char*) {}
} // namespace

Context::Context(size_t storeLimit) : ctx_(fz_new_context(nullptr, nullptr, storeLimit)) {
    if (!ctx_)
        throw std::bad_alloc();
    fz_set_warning_callback(ctx_, discard, nullptr);
    fz_set_error_callback(ctx_, discard, nullptr);
}

Context::~Context() {
    fz_drop_context(ctx_);
}

} // namespace tools
