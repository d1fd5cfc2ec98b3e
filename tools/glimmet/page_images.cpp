#include "page_images.h"

#include "image_bound.h"

#include <cstring>
#include <set>
#include <utility>

namespace glimmet {

namespace {

// What the walk has found so far. MuPDF calls into it from its own frames,
// so nothing here may throw: every operation reports failure instead, and
// the callback turns that into a MuPDF error.
struct WalkState {
    std::vector<PageImage>* found = nullptr;
    std::set<int> seenImages;
    std::set<std::pair<int, pdf_obj*>> seenStreams; // forms and patterns, with their resources
    std::vector<pdf_obj*> resources;

    bool addImage(fz_context* ctx, fz_image* image, int num,
                  const char* unknownFilter = nullptr) noexcept {
        try {
            if (num > 0 && !seenImages.insert(num).second)
                return true;
            // An image object is loaded again when its turn comes, so that
            // the page's pictures are not all held at once (MuPDF decodes
            // JPEG-2000 as it loads it). Inline images have no object.
            tools::Image kept =
                num > 0 ? tools::Image() : tools::Image(ctx, fz_keep_image(ctx, image));
            found->push_back(PageImage{std::move(kept), num, unknownFilter ? unknownFilter : ""});
            return true;
        } catch (...) {
            return false;
        }
    }
    // Whether this stream is walked for the first time with these resources.
    enum class Visit { First, Again, Failed };
    Visit visit(int num, pdf_obj* res) noexcept {
        try {
            return seenStreams.insert({num, res}).second ? Visit::First : Visit::Again;
        } catch (...) {
            return Visit::Failed;
        }
    }
    bool push(pdf_obj* res) noexcept {
        try {
            resources.push_back(res);
            return true;
        } catch (...) {
            return false;
        }
    }
    void pop() noexcept { resources.pop_back(); }

    // Marked content: whether each open sequence hides what it holds
    // (optional content switched off).
    std::vector<bool> marks;
    int hiddenMarks = 0;
    bool hidden() const noexcept { return hiddenMarks > 0; }
    bool openMark(bool hides) noexcept {
        try {
            marks.push_back(hides);
            hiddenMarks += hides;
            return true;
        } catch (...) {
            return false;
        }
    }
    void closeMarksTo(size_t depth) noexcept {
        while (marks.size() > depth) {
            hiddenMarks -= marks.back();
            marks.pop_back();
        }
    }
    pdf_obj* current() const noexcept { return resources.empty() ? nullptr : resources.back(); }
};

struct Walker {
    pdf_processor super; // first, so MuPDF's processor pointer is ours
    pdf_document* doc;
    WalkState* state;
};

Walker* walker(pdf_processor* proc) {
    return reinterpret_cast<Walker*>(proc);
}

void walkStream(fz_context* ctx, Walker* w, pdf_obj* stream, pdf_obj* res) {
    if (!w->state->push(res))
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
    // Marked content does not reach past the end of its stream.
    size_t depth = w->state->marks.size();
    fz_try(ctx) {
        shieldOversizeImages(ctx, res);
        pdf_process_contents(ctx, &w->super, w->doc, res, stream, nullptr);
    }
    fz_always(ctx) {
        w->state->closeMarksTo(depth);
        w->state->pop();
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

void walkNested(fz_context* ctx, Walker* w, pdf_obj* stream, pdf_obj* ownRes) {
    if (w->state->hidden())
        return;
    pdf_obj* res = ownRes ? ownRes : w->state->current();
    switch (w->state->visit(pdf_to_num(ctx, stream), res)) {
    case WalkState::Visit::First:
        walkStream(ctx, w, stream, res);
        break;
    case WalkState::Visit::Again:
        break;
    case WalkState::Visit::Failed:
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
    }
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

void onImage(fz_context* ctx, pdf_processor* proc, const char* name, fz_image* image) {
    Walker* w = walker(proc);
    if (w->state->hidden())
        return;
    pdf_obj* xobjects = pdf_dict_get(ctx, w->state->current(), PDF_NAME(XObject));
    pdf_obj* xobj = pdf_dict_gets(ctx, xobjects, name);
    int num = pdf_to_num(ctx, xobj);
    if (!w->state->addImage(ctx, image, num, unknownFilter(ctx, xobj)))
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
}

void onInlineImage(fz_context* ctx, pdf_processor* proc, fz_image* image, const char*) {
    if (walker(proc)->state->hidden())
        return;
    if (!walker(proc)->state->addImage(ctx, image, 0))
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
}

void onForm(fz_context* ctx, pdf_processor* proc, const char*, pdf_obj* form, pdf_obj*) {
    walkNested(ctx, walker(proc), form, pdf_xobject_resources(ctx, form));
}

void onPattern(fz_context* ctx, pdf_processor* proc, const char*, pdf_pattern* pat, int, float*) {
    if (pat && pat->contents)
        walkNested(ctx, walker(proc), pat->contents, pat->resources);
}

void openMark(fz_context* ctx, Walker* w, bool hides) {
    if (!w->state->openMark(hides))
        fz_throw(ctx, FZ_ERROR_MEMORY, "out of memory");
}

void onBMC(fz_context* ctx, pdf_processor* proc, const char*) {
    openMark(ctx, walker(proc), false);
}

void onBDC(fz_context* ctx, pdf_processor* proc, const char* tag, pdf_obj*, pdf_obj* cooked) {
    Walker* w = walker(proc);
    bool hides = std::strcmp(tag, "OC") == 0 &&
                 pdf_is_ocg_hidden(ctx, w->doc, w->state->current(), proc->usage, cooked);
    openMark(ctx, w, hides);
}

void onEMC(fz_context*, pdf_processor* proc) {
    WalkState* s = walker(proc)->state;
    if (!s->marks.empty())
        s->closeMarksTo(s->marks.size() - 1);
}

// The appearance an annotation shows: its normal appearance, picked by its
// appearance state when it has several. None when it is hidden.
pdf_obj* shownAppearance(fz_context* ctx, pdf_document* doc, pdf_obj* annot) {
    constexpr int hidden = 1 << 1;
    constexpr int noView = 1 << 5;
    if (pdf_dict_get_int(ctx, annot, PDF_NAME(F)) & (hidden | noView))
        return nullptr;
    pdf_obj* oc = pdf_dict_get(ctx, annot, PDF_NAME(OC));
    if (oc && pdf_is_ocg_hidden(ctx, doc, nullptr, "View", oc))
        return nullptr;
    pdf_obj* ap = pdf_dict_getp(ctx, annot, "AP/N");
    if (ap && !pdf_is_stream(ctx, ap))
        ap = pdf_dict_get(ctx, ap, pdf_dict_get(ctx, annot, PDF_NAME(AS)));
    return pdf_is_stream(ctx, ap) ? ap : nullptr;
}

void walkPage(fz_context* ctx, pdf_document* doc, pdf_obj* page, WalkState* state) {
    pdf_obj* res = pdf_dict_get_inheritable(ctx, page, PDF_NAME(Resources));
    pdf_obj* contents = pdf_dict_get(ctx, page, PDF_NAME(Contents));

    Walker* w = static_cast<Walker*>(pdf_new_processor(ctx, sizeof(Walker)));
    w->doc = doc;
    w->state = state;
    w->super.usage = "View";
    w->super.op_Do_image = onImage;
    w->super.op_BI = onInlineImage;
    w->super.op_Do_form = onForm;
    w->super.op_sc_pattern = onPattern;
    w->super.op_SC_pattern = onPattern;
    w->super.op_BMC = onBMC;
    w->super.op_BDC = onBDC;
    w->super.op_EMC = onEMC;
    fz_try(ctx) {
        if (contents)
            walkStream(ctx, w, contents, res);
        pdf_obj* annots = pdf_dict_get(ctx, page, PDF_NAME(Annots));
        int n = pdf_array_len(ctx, annots);
        for (int i = 0; i < n; ++i) {
            pdf_obj* ap = shownAppearance(ctx, doc, pdf_array_get(ctx, annots, i));
            if (ap)
                walkNested(ctx, w, ap, pdf_xobject_resources(ctx, ap));
        }
        pdf_close_processor(ctx, &w->super);
    }
    fz_always(ctx) {
        pdf_drop_processor(ctx, &w->super);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

} // namespace

tools::Image loadImage(tools::Context& ctx, pdf_document* doc, const PageImage& found) {
    fz_context* c = ctx.get();
    if (found.image)
        return tools::Image(c, fz_keep_image(c, found.image.get()));
    int num = found.objectNumber;
    fz_image* image = tools::guarded(c, [&] {
        pdf_obj* obj = pdf_new_indirect(c, doc, num, 0);
        fz_image* loaded = nullptr;
        fz_try(c) {
            loaded = pdf_load_image(c, doc, obj);
        }
        fz_always(c) {
            pdf_drop_obj(c, obj);
        }
        fz_catch(c) {
            fz_rethrow(c);
        }
        return loaded;
    });
    return tools::Image(c, image);
}

std::vector<PageImage> findPageImages(tools::Context& ctx, pdf_document* doc, pdf_obj* page) {
    std::vector<PageImage> found;
    WalkState state;
    state.found = &found;
    WalkState* s = &state;
    fz_context* c = ctx.get();
    tools::guarded(c, [&] { walkPage(c, doc, page, s); });
    return found;
}

} // namespace glimmet
