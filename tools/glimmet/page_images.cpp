#include "page_images.h"

#include "stream_interpreter.h"

#include <map>
#include <utility>

namespace glimmet {

namespace {

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
// ends MuPDF's interpretation of the stream; it is then swapped out and the
// stream interpreted again, so that the rest of it still counts.
std::vector<Drawn> drawnByStream(tools::Context& ctx, pdf_document* doc, pdf_obj* stream,
                                 pdf_obj* res, Unloadable& unloadable, fz_matrix start) {
    requireContentEncoding(ctx, stream);
    try {
        return interpretStream(ctx, doc, stream, res, unloadable, start);
    } catch (const tools::MuError&) {
        if (!swapUnloadable(ctx, doc, res, unloadable))
            throw;
    }
    return interpretStream(ctx, doc, stream, res, unloadable, start);
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
std::vector<Drawn> drawnByPage(tools::Context& ctx, pdf_document* doc, pdf_obj* page,
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
        drawn = drawnByStream(ctx, doc, contents, res, unloadable, fz_identity);
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
            drawn.push_back(nestedStream(c, ap, own, at));
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
    // A stream drawn again is walked again, a few times, only to learn
    // where its images land this time.
    constexpr int kMostWalks = 8;
    fz_context* c = ctx.get();
    std::vector<PageImage> found;
    std::map<int, std::size_t> byObject; // an image object's picture
    // Forms and patterns, by their object and resources: how often walked.
    std::map<std::pair<int, pdf_obj*>, int> walks;
    struct Level {
        std::vector<Drawn> drawn;
        size_t next = 0;
        bool again = false; // a walk for the places of images already found
    };
    std::vector<Level> levels;
    Unloadable unloadable;
    levels.push_back({drawnByPage(ctx, doc, page, unloadable)});
    while (!levels.empty()) {
        if (levels.back().next == levels.back().drawn.size()) {
            levels.pop_back();
            continue;
        }
        const bool again = levels.back().again;
        Drawn d = std::move(levels.back().drawn[levels.back().next++]);
        if (!d.nested) {
            const int num = d.image.objectNumber;
            if (const auto seen = byObject.find(num); num > 0 && seen != byObject.end()) {
                PageImage& first = found[seen->second];
                if (first.laterUses.size() + 1 < kMostUses)
                    first.laterUses.push_back(d.image.placement);
            } else if (!again) {
                if (num > 0)
                    byObject[num] = found.size();
                d.image.numberOnPage = static_cast<int>(found.size()) + 1;
                found.push_back(std::move(d.image));
            }
            continue;
        }
        const int num = tools::guarded(c, [&] { return pdf_to_num(c, d.nested.get()); });
        const int walked = walks[{num, d.resources.get()}]++;
        if (walked <= kMostWalks)
            levels.push_back(
                {drawnByStream(ctx, doc, d.nested.get(), d.resources.get(), unloadable, d.ctm), 0,
                 again || walked > 0});
    }
    return found;
}

} // namespace glimmet
