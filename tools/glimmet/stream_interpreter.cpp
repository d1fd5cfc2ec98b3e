#include "stream_interpreter.h"

#include "image_bound.h"

#include <cstring>

namespace glimmet {

namespace {

// What the interpretation of one stream has found. MuPDF calls into it from its own
// frames, so nothing here may throw: a failure is noted and the callback
// turns it into a MuPDF error; the note survives even where MuPDF's
// interpreter swallows that error, so no failure passes for a page without
// images.
struct Interpretation {
    fz_context* ctx = nullptr;
    pdf_obj* resources = nullptr;
    const Unloadable* unloadable = nullptr;
    std::vector<Drawn> drawn;
    bool failed = false;

    // The transformation as the stream goes, for where its images land, and
    // where it started, which its patterns are placed against.
    fz_matrix start = fz_identity;
    fz_matrix ctm = fz_identity;
    std::vector<fz_matrix> saved;

    // Marked content: whether each open sequence hides what it holds
    // (optional content switched off). It ends with its stream.
    std::vector<bool> marks;
    int hiddenMarks = 0;

    bool hidden() const noexcept { return hiddenMarks > 0; }

    // Runs `change`; whatever it throws is noted. False then.
    template <class F> bool noted(F&& change) noexcept {
        try {
            change();
            return true;
        } catch (...) {
            failed = true;
            return false;
        }
    }
    bool addImage(fz_image* image, int num, std::string failure) noexcept {
        // An image object is loaded again when its turn comes, so that the
        // page's pictures are not all held at once (MuPDF decodes JPEG-2000
        // as it loads it). Inline images have no object.
        return noted([&] {
            tools::Image kept =
                num > 0 ? tools::Image() : tools::Image(ctx, fz_keep_image(ctx, image));
            PageImage image;
            image.image = std::move(kept);
            image.objectNumber = num;
            image.failure = std::move(failure);
            image.placement = ctm;
            drawn.push_back(Drawn{std::move(image), {}, {}});
        });
    }
    bool addNested(pdf_obj* stream, pdf_obj* res, fz_matrix at) noexcept {
        return noted([&] { drawn.push_back(nestedStream(ctx, stream, res, at)); });
    }
    bool save() noexcept {
        return noted([&] { saved.push_back(ctm); });
    }
    void restore() noexcept {
        if (!saved.empty()) {
            ctm = saved.back();
            saved.pop_back();
        }
    }
    bool openMark(bool hides) noexcept {
        return noted([&] {
            marks.push_back(hides);
            hiddenMarks += hides;
        });
    }
    void closeMark() noexcept {
        if (!marks.empty()) {
            hiddenMarks -= marks.back();
            marks.pop_back();
        }
    }
};

struct Processor {
    pdf_processor super; // first, so MuPDF's processor pointer is ours
    pdf_document* doc;
    Interpretation* found;
};

Interpretation& interpretationOf(pdf_processor* proc) {
    return *reinterpret_cast<Processor*>(proc)->found;
}

void check(fz_context* ctx, bool ok) {
    if (!ok)
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
}

const char* unknownFilter(fz_context* ctx, pdf_obj* dict) {
    static const char* const known[] = {
        "ASCIIHexDecode", "AHx", "ASCII85Decode",   "A85",         "LZWDecode",      "LZW",
        "FlateDecode",    "Fl",  "RunLengthDecode", "RL",          "CCITTFaxDecode", "CCF",
        "DCTDecode",      "DCT", "JPXDecode",       "JBIG2Decode", "Crypt",
    };
    pdf_obj* filter = pdf_dict_get(ctx, dict, PDF_NAME(Filter));
    int n = pdf_is_array(ctx, filter) ? pdf_array_len(ctx, filter) : 1;
    for (int i = 0; i < n; ++i) {
        pdf_obj* f = pdf_is_array(ctx, filter) ? pdf_array_get(ctx, filter, i) : filter;
        if (!pdf_is_name(ctx, f))
            continue;
        const char* name = pdf_to_name(ctx, f);
        bool ok = false;
        for (const char* k : known)
            ok = ok || std::strcmp(name, k) == 0;
        if (!ok)
            return name;
    }
    return nullptr;
}

// Whether an image object was swapped for the stand-in, and if so, which one
// it was and why.
const std::pair<int, std::string>* unloadableImage(const Interpretation& w, pdf_obj* xobjects,
                                                   const char* name) noexcept {
    if (!w.unloadable)
        return nullptr;
    try {
        auto found = w.unloadable->images.find({xobjects, name});
        return found == w.unloadable->images.end() ? nullptr : &found->second;
    } catch (...) {
        return nullptr;
    }
}

void onImage(fz_context* ctx, pdf_processor* proc, const char* name, fz_image* image) {
    Interpretation& w = interpretationOf(proc);
    if (w.hidden())
        return;
    pdf_obj* xobjects = pdf_dict_get(ctx, w.resources, PDF_NAME(XObject));
    pdf_obj* xobj = pdf_dict_gets(ctx, xobjects, name);
    bool added = false;
    try {
        if (const auto* swapped = unloadableImage(w, xobjects, name)) {
            added = w.addImage(image, swapped->first, swapped->second);
        } else {
            const char* unknown = unknownFilter(ctx, xobj);
            added = w.addImage(image, pdf_to_num(ctx, xobj),
                               unknown ? std::string("unknown filter ") + unknown : "");
        }
    } catch (...) {
    }
    check(ctx, added);
}

void onInlineImage(fz_context* ctx, pdf_processor* proc, fz_image* image, const char*) {
    Interpretation& w = interpretationOf(proc);
    if (!w.hidden())
        check(ctx, w.addImage(image, 0, {}));
}

// A nested stream, drawn from `at`, takes its own resources, else those of
// the stream that draws it.
void drawNested(fz_context* ctx, Interpretation& w, pdf_obj* stream, pdf_obj* ownRes,
                fz_matrix at) {
    if (!w.hidden() && pdf_is_stream(ctx, stream))
        check(ctx, w.addNested(stream, ownRes ? ownRes : w.resources, at));
}

void onForm(fz_context* ctx, pdf_processor* proc, const char*, pdf_obj* form, pdf_obj*) {
    Interpretation& w = interpretationOf(proc);
    drawNested(ctx, w, form, pdf_xobject_resources(ctx, form),
               fz_concat(pdf_xobject_matrix(ctx, form), w.ctm));
}

// A pattern is placed against the space of the stream that uses it, not
// against where it is painted.
void onPattern(fz_context* ctx, pdf_processor* proc, const char*, pdf_pattern* pat, int, float*) {
    Interpretation& w = interpretationOf(proc);
    if (pat && pat->contents)
        drawNested(ctx, w, pat->contents, pat->resources, fz_concat(pat->matrix, w.start));
}

// A soft mask is a group drawn for its shape; its images are the document's
// as much as any other.
void onSoftMask(fz_context* ctx, pdf_processor* proc, pdf_obj* smask, pdf_obj*, float*, int) {
    // MuPDF hands over the mask's group itself.
    pdf_obj* group = pdf_is_stream(ctx, smask) ? smask : pdf_dict_get(ctx, smask, PDF_NAME(G));
    Interpretation& w = interpretationOf(proc);
    drawNested(ctx, w, group, pdf_xobject_resources(ctx, group),
               fz_concat(pdf_xobject_matrix(ctx, group), w.ctm));
}

void onSave(fz_context* ctx, pdf_processor* proc) {
    check(ctx, interpretationOf(proc).save());
}

void onRestore(fz_context*, pdf_processor* proc) {
    interpretationOf(proc).restore();
}

void onTransform(fz_context*, pdf_processor* proc, float a, float b, float c, float d, float e,
                 float f) {
    Interpretation& w = interpretationOf(proc);
    w.ctm = fz_concat(fz_make_matrix(a, b, c, d, e, f), w.ctm);
}

void onBMC(fz_context* ctx, pdf_processor* proc, const char*) {
    check(ctx, interpretationOf(proc).openMark(false));
}

void onBDC(fz_context* ctx, pdf_processor* proc, const char* tag, pdf_obj*, pdf_obj* cooked) {
    Interpretation& w = interpretationOf(proc);
    pdf_document* doc = reinterpret_cast<Processor*>(proc)->doc;
    bool hides = std::strcmp(tag, "OC") == 0 &&
                 pdf_is_ocg_hidden(ctx, doc, w.resources, proc->usage, cooked);
    check(ctx, w.openMark(hides));
}

void onEMC(fz_context*, pdf_processor* proc) {
    interpretationOf(proc).closeMark();
}

// Runs MuPDF's interpreter over one stream with our callbacks.
void interpret(fz_context* ctx, pdf_document* doc, pdf_obj* stream, Interpretation* found) {
    Processor* w = static_cast<Processor*>(pdf_new_processor(ctx, sizeof(Processor)));
    w->doc = doc;
    w->found = found;
    w->super.usage = "View";
    // What is drawn: images, and the streams that draw more of them.
    w->super.op_Do_image = onImage;
    w->super.op_BI = onInlineImage;
    w->super.op_Do_form = onForm;
    w->super.op_sc_pattern = w->super.op_SC_pattern = onPattern;
    w->super.op_gs_SMask = onSoftMask;
    // What hides it: optional content, marked.
    w->super.op_BMC = onBMC;
    w->super.op_BDC = onBDC;
    w->super.op_EMC = onEMC;
    // Where it lands.
    w->super.op_q = onSave;
    w->super.op_Q = onRestore;
    w->super.op_cm = onTransform;
    fz_try(ctx) {
        shieldOversizeImages(ctx, found->resources);
        pdf_process_contents(ctx, &w->super, doc, found->resources, stream, nullptr);
        pdf_close_processor(ctx, &w->super);
    }
    fz_always(ctx) {
        pdf_drop_processor(ctx, &w->super);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

bool imageOnlyFilter(fz_context* ctx, pdf_obj* filter) {
    static const char* const imageOnly[] = {"JBIG2Decode", "DCTDecode",      "DCT",
                                            "JPXDecode",   "CCITTFaxDecode", "CCF"};
    if (!pdf_is_name(ctx, filter))
        return false;
    for (const char* name : imageOnly)
        if (std::strcmp(pdf_to_name(ctx, filter), name) == 0)
            return true;
    return false;
}

// The first stream of `contents` with an image-only filter, and that filter.
std::pair<pdf_obj*, const char*> imageEncoded(fz_context* ctx, pdf_obj* contents) {
    const bool many = pdf_is_array(ctx, contents);
    const int streams = many ? pdf_array_len(ctx, contents) : 1;
    for (int i = 0; i < streams; ++i) {
        pdf_obj* stream = many ? pdf_array_get(ctx, contents, i) : contents;
        pdf_obj* filters = pdf_dict_geta(ctx, stream, PDF_NAME(Filter), PDF_NAME(F));
        const bool chain = pdf_is_array(ctx, filters);
        const int n = chain ? pdf_array_len(ctx, filters) : 1;
        for (int f = 0; f < n; ++f) {
            pdf_obj* filter = chain ? pdf_array_get(ctx, filters, f) : filters;
            if (imageOnlyFilter(ctx, filter))
                return {stream, pdf_to_name(ctx, filter)};
        }
    }
    return {nullptr, nullptr};
}

} // namespace

void requireContentEncoding(tools::Context& ctx, pdf_obj* stream) {
    fz_context* c = ctx.get();
    const auto [found, filter] = tools::guarded(c, [&] { return imageEncoded(c, stream); });
    if (!found)
        return;
    const int num = tools::guarded(c, [&] { return pdf_to_num(c, found); });
    throw tools::MuError("content stream" +
                         (num > 0 ? " (object " + std::to_string(num) + ")" : std::string()) +
                         " is encoded with " + filter + ", an encoding for images only");
}

// Built member by member: GCC 12 takes the empty image of an aggregate
// initialiser for one used uninitialised.
Drawn nestedStream(fz_context* ctx, pdf_obj* stream, pdf_obj* resources, fz_matrix at) {
    Drawn d;
    d.nested = tools::Object(ctx, pdf_keep_obj(ctx, stream));
    d.resources = tools::Object(ctx, pdf_keep_obj(ctx, resources));
    d.ctm = at;
    return d;
}

std::vector<Drawn> interpretStream(tools::Context& ctx, pdf_document* doc, pdf_obj* stream,
                                   pdf_obj* resources, const Unloadable& unloadable,
                                   fz_matrix start) {
    Interpretation found;
    found.ctx = ctx.get();
    found.resources = resources;
    found.start = start;
    found.ctm = start;
    found.unloadable = &unloadable;
    Interpretation* f = &found;
    fz_context* c = ctx.get();
    tools::guarded(c, [&] { interpret(c, doc, stream, f); });
    if (found.failed)
        throw tools::MuError("out of memory while reading the page");
    return std::move(found.drawn);
}

} // namespace glimmet
