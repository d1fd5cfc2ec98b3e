#include "mupdf_context.h"

#include <new>

namespace tools {

namespace {
void discard(void*, const char*) {}
} // namespace

Context::Context(size_t storeLimit) : ctx_(fz_new_context(nullptr, nullptr, storeLimit)) {
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
        auto& log = static_cast<Context*>(self)->warnings_;
        if (log.size() < 100)
            log.emplace_back(message);
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
