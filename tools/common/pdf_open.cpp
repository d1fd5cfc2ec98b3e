#include "pdf_open.h"

#include "ToolContract.h"
#include "file_stream.h"

#include <cstdio>

namespace tools {

Document openPdf(Context& ctx, const std::string& path) {
    fz_context* c = ctx.get();
    const char* name = path.c_str();
    const Ref<fz_stream, fz_drop_stream> file(c,
                                              guarded(c, [&] { return openFileStream(c, name); }));
    pdf_document* doc = guarded(c, [&] { return pdf_open_document_with_stream(c, file.get()); });
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

OpenResult openForReading(Context& ctx, const std::string& path,
                          const std::optional<std::string>& password, Document& doc) {
    try {
        doc = openPdf(ctx, path);
    } catch (const MuError& e) {
        const std::string why = e.what();
        // MuPDF names the file itself when it cannot open it at all.
        if (why.rfind("cannot open ", 0) == 0)
            std::fprintf(stderr, "Error: %s\n", why.c_str());
        else
            std::fprintf(stderr, "Error: cannot open %s: %s\n", path.c_str(), why.c_str());
        return OpenResult::Failed;
    }
    if (!unlockPdf(ctx, doc.get(), password)) {
        std::printf("%s\n", contract::kIncorrectPassword);
        return OpenResult::Locked;
    }
    return OpenResult::Ready;
}

bool readPages(Context& ctx, pdf_document* doc, const std::string& path, int first, int last,
               std::vector<Object>& pages, int& total) {
    try {
        pages = findPageRange(ctx, doc, first, last, total);
        if (pages.empty() && total == 0)
            throw MuError("no page found in its page tree");
        return true;
    } catch (const MuError& e) {
        std::fprintf(stderr, "Error: cannot read the pages of %s: %s\n", path.c_str(), e.what());
        return false;
    }
}

} // namespace tools
