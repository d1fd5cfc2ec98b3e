#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

extern "C" {
#include <mupdf/fitz.h>
#include <mupdf/pdf.h>
}

namespace tools {

// A MuPDF error, carried as a C++ exception once it is out of MuPDF's frames.
class MuError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Counts what MuPDF holds and refuses an allocation past the cap, so that a
// decoder asking for gigabytes gets MuPDF's own out-of-memory error.
struct MemoryAllowance {
    std::uint64_t cap = 0;
    std::uint64_t used = 0;
};

// Owns one MuPDF context, its memory capped by mupdfMemoryCap(). Its
// warnings and error reports never reach the output: the program reads the
// tools' output, and any stray line there would count as a failure.
// Warnings are kept instead, for callers that want to know whether MuPDF had
// to patch something up.
class Context {
public:
    explicit Context(size_t storeLimit = FZ_STORE_DEFAULT);
    ~Context();
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    fz_context* get() const { return ctx_; }
    MemoryAllowance& allowance() { return allowance_; }

    // The warnings since the last call, oldest first. MuPDF's line that a
    // warning was repeated comes as that warning once more, so that it is
    // judged as what it repeats.
    std::vector<std::string> takeWarnings();

private:
    static void onWarning(void* self, const char* message);

    MemoryAllowance allowance_;
    fz_context* ctx_;
    std::vector<std::string> warnings_;
    std::string lastWarning_;
};

// Narrows the memory MuPDF may take to what it holds now plus `extra`, for
// the life of the scope: while one image is decoded, data that claims more
// than its dictionary said fails instead of growing.
class MemoryLimit {
public:
    MemoryLimit(Context& ctx, std::uint64_t extra) : allowance_(ctx.allowance()) {
        saved_ = allowance_.cap;
        if (extra < allowance_.cap - allowance_.used)
            allowance_.cap = allowance_.used + extra;
    }
    ~MemoryLimit() { allowance_.cap = saved_; }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;

private:
    MemoryAllowance& allowance_;
    std::uint64_t saved_ = 0;
};

namespace detail {
template <class F> void tryMuPdf(fz_context* ctx, F& f) {
    fz_try(ctx) {
        f();
    }
    fz_catch(ctx) {
        throw MuError(fz_caught_message(ctx));
    }
}
} // namespace detail

// Runs f, which makes MuPDF calls, and turns a MuPDF error into MuError.
// f's own frame must not hold objects with destructors: a MuPDF error jumps
// straight back past it.
template <class F> auto guarded(fz_context* ctx, F&& f) -> decltype(f()) {
    using R = decltype(f());
    if constexpr (std::is_void_v<R>) {
        detail::tryMuPdf(ctx, f);
    } else {
        R result{};
        auto store = [&] { result = f(); };
        detail::tryMuPdf(ctx, store);
        return result;
    }
}

// Keeps a MuPDF reference and drops it at the end of the scope.
template <class T, void (*Drop)(fz_context*, T*)> class Ref {
public:
    Ref() = default;
    Ref(fz_context* ctx, T* p) : ctx_(ctx), p_(p) {}
    ~Ref() { reset(); }
    Ref(Ref&& o) noexcept : ctx_(o.ctx_), p_(o.p_) { o.p_ = nullptr; }
    Ref& operator=(Ref&& o) noexcept {
        if (this != &o) {
            reset();
            ctx_ = o.ctx_;
            p_ = o.p_;
            o.p_ = nullptr;
        }
        return *this;
    }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void reset() {
        if (p_)
            Drop(ctx_, p_);
        p_ = nullptr;
    }

private:
    fz_context* ctx_ = nullptr;
    T* p_ = nullptr;
};

using Document = Ref<pdf_document, pdf_drop_document>;
using Image = Ref<fz_image, fz_drop_image>;
using Pixmap = Ref<fz_pixmap, fz_drop_pixmap>;
using Object = Ref<pdf_obj, pdf_drop_obj>;

// Object `num` of the document, held for as long as the result lives.
inline Object objectByNumber(fz_context* ctx, pdf_document* doc, int num) {
    return Object(ctx, guarded(ctx, [&] { return pdf_new_indirect(ctx, doc, num, 0); }));
}

} // namespace tools
