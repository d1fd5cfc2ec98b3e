#include "pdf_open.h"

namespace tools {

Document openPdf(Context& ctx, const std::string& path) {
    fz_context* c = ctx.get();
    const char* name = path.c_str();
    pdf_document* doc = guarded(c, [&] { return pdf_open_document(c, name); });
    Document owned(c, doc);
    // A file that is not a PDF at all "repairs" into a document without a
    // catalogue; reading the page tree is what tells the two apart.
    guarded(c, [&] {
        if (!pdf_dict_get(c, pdf_trailer(c, doc), PDF_NAME(Root)))
            fz_throw(c, FZ_ERROR_GENERIC, "no document catalogue found");
    });
    return owned;
}

bool unlockPdf(Context& ctx, pdf_document* doc, const std::optional<std::string>& password) {
    fz_context* c = ctx.get();
    if (!guarded(c, [&] { return pdf_needs_password(c, doc); }))
        return true;
    if (!password)
        return false;
    const char* pw = password->c_str();
    return guarded(c, [&] { return pdf_authenticate_password(c, doc, pw); }) != 0;
}

int pageCount(Context& ctx, pdf_document* doc) {
    fz_context* c = ctx.get();
    return guarded(c, [&] { return pdf_count_pages(c, doc); });
}

} // namespace tools
