#include "page_images.h"

#include "image_bound.h"

#include <cstring>
#include <map>
#include <set>
#include <utility>

namespace glimmet {

namespace {

// One thing a content stream draws, in drawing order: an image, or a stream
// it draws in turn (a form, a tiling pattern, a soft mask's group), which is
// walked after this stream, not from inside it. So nesting costs no stack:
// MuPDF's own error frames would end a recursive walk a few dozen forms deep.
struct Drawn {
    PageImage image;
    tools::Object nested;
    tools::Object resources;
    fz_matrix ctm = fz_identity; // where a nested stream starts
};

// Image objects MuPDF cannot load (it decodes JPEG-2000 as it loads it), by
// their XObject dictionary and name, with the object and the reason. Such an
// image is swapped for a stand-in and the stream walked again, so that it
// costs only itself and not the rest of the page.
struct Unloadable {
    std::map<std::pair<pdf_obj*, std::string>, std::pair<int, std::string>> images;
    tools::Object standIn;
};

// What the walk of one stream has found. MuPDF calls into it from its own
// frames, so nothing here may throw: a failure is noted and the callback
// turns it into a MuPDF error; the note survives even where MuPDF's
// interpreter swallows that error, so no failure passes for a page without
// images.
struct StreamWalk {
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

    bool add(Drawn d) noexcept {
        try {
            drawn.push_back(std::move(d));
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
        try {
            tools::Image kept =
                num > 0 ? tools::Image() : tools::Image(ctx, fz_keep_image(ctx, image));
            return add(Drawn{PageImage{std::move(kept), num, std::move(failure), ctm}, {}, {}});
        } catch (...) {
            failed = true;
            return false;
        }
    }
    bool addNested(pdf_obj* stream, pdf_obj* res, fz_matrix at) noexcept {
        return add(Drawn{{},
                         tools::Object(ctx, pdf_keep_obj(ctx, stream)),
                         tools::Object(ctx, pdf_keep_obj(ctx, res)),
                         at});
    }
    bool save() noexcept {
        try {
            saved.push_back(ctm);
            return true;
        } catch (...) {
            failed = true;
            return false;
        }
    }
    void restore() noexcept {
        if (!saved.empty()) {
            ctm = saved.back();
            saved.pop_back();
        }
    }
    bool openMark(bool hides) noexcept {
        try {
            marks.push_back(hides);
            hiddenMarks += hides;
            return true;
        } catch (...) {
            failed = true;
            return false;
        }
    }
    void closeMark() noexcept {
        if (!marks.empty()) {
            hiddenMarks -= marks.back();
            marks.pop_back();
        }
    }
};

struct Walker {
    pdf_processor super; // first, so MuPDF's processor pointer is ours
    pdf_document* doc;
    StreamWalk* walk;
};

StreamWalk& walkOf(pdf_processor* proc) {
    return *reinterpret_cast<Walker*>(proc)->walk;
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
const std::pair<int, std::string>* unloadableImage(const StreamWalk& w, pdf_obj* xobjects,
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
    StreamWalk& w = walkOf(proc);
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
    StreamWalk& w = walkOf(proc);
    if (!w.hidden())
        check(ctx, w.addImage(image, 0, {}));
}

// A nested stream takes its own resources, else those of the stream that
// draws it.
// drawn from `at`.
void drawNested(fz_context* ctx, StreamWalk& w, pdf_obj* stream, pdf_obj* ownRes, fz_matrix at) {
    if (!w.hidden() && pdf_is_stream(ctx, stream))
        check(ctx, w.addNested(stream, ownRes ? ownRes : w.resources, at));
}

void onForm(fz_context* ctx, pdf_processor* proc, const char*, pdf_obj* form, pdf_obj*) {
    StreamWalk& w = walkOf(proc);
    drawNested(ctx, w, form, pdf_xobject_resources(ctx, form),
               fz_concat(pdf_xobject_matrix(ctx, form), w.ctm));
}

// A pattern is placed against the space of the stream that uses it, not
// against where it is painted.
void onPattern(fz_context* ctx, pdf_processor* proc, const char*, pdf_pattern* pat, int, float*) {
    StreamWalk& w = walkOf(proc);
    if (pat && pat->contents)
        drawNested(ctx, w, pat->contents, pat->resources, fz_concat(pat->matrix, w.start));
}

// A soft mask is a group drawn for its shape; its images are the document's
// as much as any other.
void onSoftMask(fz_context* ctx, pdf_processor* proc, pdf_obj* smask, pdf_obj*, float*, int) {
    // MuPDF hands over the mask's group itself.
    pdf_obj* group = pdf_is_stream(ctx, smask) ? smask : pdf_dict_get(ctx, smask, PDF_NAME(G));
    StreamWalk& w = walkOf(proc);
    drawNested(ctx, w, group, pdf_xobject_resources(ctx, group),
               fz_concat(pdf_xobject_matrix(ctx, group), w.ctm));
}

void onSave(fz_context* ctx, pdf_processor* proc) {
    check(ctx, walkOf(proc).save());
}

void onRestore(fz_context*, pdf_processor* proc) {
    walkOf(proc).restore();
}

void onTransform(fz_context*, pdf_processor* proc, float a, float b, float c, float d, float e,
                 float f) {
    StreamWalk& w = walkOf(proc);
    w.ctm = fz_concat(fz_make_matrix(a, b, c, d, e, f), w.ctm);
}

void onBMC(fz_context* ctx, pdf_processor* proc, const char*) {
    check(ctx, walkOf(proc).openMark(false));
}

void onBDC(fz_context* ctx, pdf_processor* proc, const char* tag, pdf_obj*, pdf_obj* cooked) {
    StreamWalk& w = walkOf(proc);
    Walker* walker = reinterpret_cast<Walker*>(proc);
    bool hides = std::strcmp(tag, "OC") == 0 &&
                 pdf_is_ocg_hidden(ctx, walker->doc, w.resources, proc->usage, cooked);
    check(ctx, w.openMark(hides));
}

void onEMC(fz_context*, pdf_processor* proc) {
    walkOf(proc).closeMark();
}

// Runs MuPDF's interpreter over one stream with our callbacks.
void interpret(fz_context* ctx, pdf_document* doc, pdf_obj* stream, StreamWalk* walk) {
    Walker* w = static_cast<Walker*>(pdf_new_processor(ctx, sizeof(Walker)));
    w->doc = doc;
    w->walk = walk;
    w->super.usage = "View";
    w->super.op_Do_image = onImage;
    w->super.op_BI = onInlineImage;
    w->super.op_Do_form = onForm;
    w->super.op_sc_pattern = onPattern;
    w->super.op_SC_pattern = onPattern;
    w->super.op_gs_SMask = onSoftMask;
    w->super.op_BMC = onBMC;
    w->super.op_BDC = onBDC;
    w->super.op_EMC = onEMC;
    w->super.op_q = onSave;
    w->super.op_Q = onRestore;
    w->super.op_cm = onTransform;
    fz_try(ctx) {
        shieldOversizeImages(ctx, walk->resources);
        pdf_process_contents(ctx, &w->super, doc, walk->resources, stream, nullptr);
        pdf_close_processor(ctx, &w->super);
    }
    fz_always(ctx) {
        pdf_drop_processor(ctx, &w->super);
    }
    fz_catch(ctx) {
        fz_rethrow(ctx);
    }
}

// One walk of a stream with our callbacks.
std::vector<Drawn> interpretWalk(tools::Context& ctx, pdf_document* doc, pdf_obj* stream,
                                 pdf_obj* res, const Unloadable& unloadable, fz_matrix start) {
    StreamWalk walk;
    walk.ctx = ctx.get();
    walk.resources = res;
    walk.start = start;
    walk.ctm = start;
    walk.unloadable = &unloadable;
    StreamWalk* w = &walk;
    fz_context* c = ctx.get();
    tools::guarded(c, [&] { interpret(c, doc, stream, w); });
    if (walk.failed)
        throw tools::MuError("out of memory while reading the page");
    return std::move(walk.drawn);
}

// A 1 x 1 gray image that loads whatever happens.
tools::Object makeStandIn(fz_context* c, pdf_document* doc) {
    pdf_obj* made = tools::guarded(c, [&] {
        pdf_obj* dict = pdf_new_dict(c, doc, 6);
        fz_buffer* pixel = nullptr;
        pdf_obj* ref = nullptr;
        fz_try(c) {
            pdf_dict_put(c, dict, PDF_NAME(Type), PDF_NAME(XObject));
            pdf_dict_put(c, dict, PDF_NAME(Subtype), PDF_NAME(Image));
            pdf_dict_put_int(c, dict, PDF_NAME(Width), 1);
            pdf_dict_put_int(c, dict, PDF_NAME(Height), 1);
            pdf_dict_put(c, dict, PDF_NAME(ColorSpace), PDF_NAME(DeviceGray));
            pdf_dict_put_int(c, dict, PDF_NAME(BitsPerComponent), 8);
            pixel =
                fz_new_buffer_from_copied_data(c, reinterpret_cast<const unsigned char*>("\0"), 1);
            ref = pdf_add_stream(c, doc, pixel, dict, 0);
        }
        fz_always(c) {
            fz_drop_buffer(c, pixel);
            pdf_drop_obj(c, dict);
        }
        fz_catch(c) {
            fz_rethrow(c);
        }
        return ref;
    });
    return tools::Object(c, made);
}

// Loads every image object the resources name; each one MuPDF cannot load
// is noted and swapped for the stand-in. False when none failed.
bool swapUnloadable(tools::Context& ctx, pdf_document* doc, pdf_obj* res, Unloadable& unloadable) {
    fz_context* c = ctx.get();
    pdf_obj* xobjects = tools::guarded(c, [&] { return pdf_dict_get(c, res, PDF_NAME(XObject)); });
    const int count = tools::guarded(c, [&] { return pdf_dict_len(c, xobjects); });
    bool swapped = false;
    for (int i = 0; i < count; ++i) {
        pdf_obj* xobj = nullptr;
        const char* name = nullptr;
        tools::guarded(c, [&] {
            name = pdf_to_name(c, pdf_dict_get_key(c, xobjects, i));
            xobj = pdf_dict_get_val(c, xobjects, i);
            if (!pdf_name_eq(c, pdf_dict_get(c, xobj, PDF_NAME(Subtype)), PDF_NAME(Image)))
                xobj = nullptr;
        });
        if (!xobj || !*name || (unloadable.standIn && tools::guarded(c, [&] {
                                    return pdf_objcmp(c, xobj, unloadable.standIn.get()) == 0;
                                })))
            continue;
        try {
            tools::guarded(c, [&] { fz_drop_image(c, pdf_load_image(c, doc, xobj)); });
        } catch (const tools::MuError& e) {
            const int num = tools::guarded(c, [&] { return pdf_to_num(c, xobj); });
            if (!unloadable.standIn)
                unloadable.standIn = makeStandIn(c, doc);
            unloadable.images[{xobjects, name}] = {num, e.what()};
            pdf_obj* standIn = unloadable.standIn.get();
            tools::guarded(c, [&] { pdf_dict_puts(c, xobjects, name, standIn); });
            swapped = true;
        }
    }
    return swapped;
}

// What one stream draws, in order. An image that cannot even be loaded
// ends MuPDF's walk of the stream; it is then swapped out and the stream
// walked again, so that the rest of it still counts.
std::vector<Drawn> walkStream(tools::Context& ctx, pdf_document* doc, pdf_obj* stream, pdf_obj* res,
                              Unloadable& unloadable, fz_matrix start) {
    try {
        return interpretWalk(ctx, doc, stream, res, unloadable, start);
    } catch (const tools::MuError&) {
        if (!swapUnloadable(ctx, doc, res, unloadable))
            throw;
    }
    return interpretWalk(ctx, doc, stream, res, unloadable, start);
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

// An appearance is drawn so that its box, as its matrix turns it, fills the
// annotation's rectangle.
fz_matrix appearancePlacement(fz_context* ctx, pdf_obj* annot, pdf_obj* ap) {
    const fz_matrix own = pdf_xobject_matrix(ctx, ap);
    const fz_rect box = fz_transform_rect(pdf_xobject_bbox(ctx, ap), own);
    const fz_rect rect = pdf_dict_get_rect(ctx, annot, PDF_NAME(Rect));
    const float w = box.x1 - box.x0, h = box.y1 - box.y0;
    if (w <= 0 || h <= 0)
        return own;
    const float sx = (rect.x1 - rect.x0) / w, sy = (rect.y1 - rect.y0) / h;
    const fz_matrix fit =
        fz_make_matrix(sx, 0, 0, sy, rect.x0 - box.x0 * sx, rect.y0 - box.y0 * sy);
    return fz_concat(own, fit);
}

// The page's own contents, then its annotations' appearances.
std::vector<Drawn> walkPage(tools::Context& ctx, pdf_document* doc, pdf_obj* page,
                            Unloadable& unloadable) {
    fz_context* c = ctx.get();
    pdf_obj* res = nullptr;
    pdf_obj* contents = nullptr;
    tools::guarded(c, [&] {
        res = pdf_dict_get_inheritable(c, page, PDF_NAME(Resources));
        contents = pdf_dict_get(c, page, PDF_NAME(Contents));
    });
    std::vector<Drawn> drawn;
    if (contents)
        drawn = walkStream(ctx, doc, contents, res, unloadable, fz_identity);
    const int annotations = tools::guarded(
        c, [&] { return pdf_array_len(c, pdf_dict_get(c, page, PDF_NAME(Annots))); });
    for (int i = 0; i < annotations; ++i) {
        pdf_obj* ap = tools::guarded(c, [&] {
            return shownAppearance(c, doc,
                                   pdf_array_get(c, pdf_dict_get(c, page, PDF_NAME(Annots)), i));
        });
        if (ap) {
            pdf_obj* own = tools::guarded(c, [&] { return pdf_xobject_resources(c, ap); });
            const fz_matrix at = tools::guarded(c, [&] {
                return appearancePlacement(
                    c, pdf_array_get(c, pdf_dict_get(c, page, PDF_NAME(Annots)), i), ap);
            });
            drawn.push_back(Drawn{{},
                                  tools::Object(c, pdf_keep_obj(c, ap)),
                                  tools::Object(c, pdf_keep_obj(c, own)),
                                  at});
        }
    }
    return drawn;
}

} // namespace

tools::Image loadImage(tools::Context& ctx, pdf_document* doc, const PageImage& found) {
    fz_context* c = ctx.get();
    if (found.image)
        return tools::Image(c, fz_keep_image(c, found.image.get()));
    const tools::Object obj = tools::objectByNumber(c, doc, found.objectNumber);
    pdf_obj* o = obj.get();
    return tools::Image(c, tools::guarded(c, [&] { return pdf_load_image(c, doc, o); }));
}

std::vector<PageImage> findPageImages(tools::Context& ctx, pdf_document* doc, pdf_obj* page) {
    fz_context* c = ctx.get();
    std::vector<PageImage> found;
    std::set<int> seenImages;
    // Forms and patterns, each walked once with the same resources.
    std::set<std::pair<int, pdf_obj*>> seenStreams;
    struct Level {
        std::vector<Drawn> drawn;
        size_t next = 0;
    };
    std::vector<Level> levels;
    Unloadable unloadable;
    levels.push_back({walkPage(ctx, doc, page, unloadable)});
    while (!levels.empty()) {
        if (levels.back().next == levels.back().drawn.size()) {
            levels.pop_back();
            continue;
        }
        Drawn d = std::move(levels.back().drawn[levels.back().next++]);
        if (!d.nested) {
            const int num = d.image.objectNumber;
            if (num <= 0 || seenImages.insert(num).second)
                found.push_back(std::move(d.image));
            continue;
        }
        const int num = tools::guarded(c, [&] { return pdf_to_num(c, d.nested.get()); });
        if (seenStreams.insert({num, d.resources.get()}).second)
            levels.push_back(
                {walkStream(ctx, doc, d.nested.get(), d.resources.get(), unloadable, d.ctm)});
    }
    return found;
}

} // namespace glimmet
