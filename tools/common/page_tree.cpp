#include "page_tree.h"

#include <algorithm>
#include <unordered_set>

namespace tools {

namespace {

enum class Kind { Pages, Page, Other };

// How MuPDF itself tells an inner node from a page when it looks one up.
Kind kindOf(fz_context* c, pdf_obj* node) {
    if (!pdf_is_dict(c, node))
        return Kind::Other;
    pdf_obj* type = pdf_dict_get(c, node, PDF_NAME(Type));
    if (type) {
        if (pdf_name_eq(c, type, PDF_NAME(Pages)))
            return Kind::Pages;
        return pdf_name_eq(c, type, PDF_NAME(Page)) ? Kind::Page : Kind::Other;
    }
    if (pdf_is_array(c, pdf_dict_get(c, node, PDF_NAME(Kids))) &&
        !pdf_dict_get(c, node, PDF_NAME(MediaBox)))
        return Kind::Pages;
    return Kind::Page;
}

} // namespace

std::vector<Object> findPages(Context& ctx, pdf_document* doc, int limit) {
    fz_context* c = ctx.get();
    std::vector<Object> pages;
    pdf_obj* root = guarded(c, [&] { return pdf_dict_getp(c, pdf_trailer(c, doc), "Root/Pages"); });
    if (guarded(c, [&] { return kindOf(c, root); }) == Kind::Page) {
        pages.emplace_back(c, pdf_keep_obj(c, root));
        return pages;
    }

    // Depth first, kids in order: the stack holds the kids still to visit,
    // the next one on top. Its size stays within the number of kids seen,
    // never the depth, so a deep tree cannot overflow anything.
    std::vector<Object> pending;
    std::unordered_set<int> seen;
    pending.emplace_back(c, pdf_keep_obj(c, root));
    while (!pending.empty() && static_cast<int>(pages.size()) < limit) {
        Object node = std::move(pending.back());
        pending.pop_back();
        pdf_obj* n = node.get();
        if (pdf_is_indirect(c, n) && !seen.insert(pdf_to_num(c, n)).second)
            continue;
        Kind kind = guarded(c, [&] { return kindOf(c, n); });
        if (kind == Kind::Page) {
            pages.push_back(std::move(node));
            continue;
        }
        if (kind != Kind::Pages)
            continue;
        pdf_obj* kids = guarded(c, [&] { return pdf_dict_get(c, n, PDF_NAME(Kids)); });
        int count = guarded(c, [&] { return pdf_array_len(c, kids); });
        for (int i = count - 1; i >= 0; --i) {
            pdf_obj* kid = guarded(c, [&] { return pdf_array_get(c, kids, i); });
            pending.emplace_back(c, pdf_keep_obj(c, kid));
        }
    }
    return pages;
}

int believedPageCount(Context& ctx, pdf_document* doc) {
    // Kids beyond this many are not opened: in a flat tree that would cost
    // what the walk costs.
    constexpr int kKidsChecked = 64;
    fz_context* c = ctx.get();
    return guarded(c, [&] {
        pdf_obj* root = pdf_dict_getp(c, pdf_trailer(c, doc), "Root/Pages");
        pdf_obj* count = pdf_dict_get(c, root, PDF_NAME(Count));
        pdf_obj* kids = pdf_dict_get(c, root, PDF_NAME(Kids));
        const std::int64_t claimed = pdf_to_int64(c, count);
        const int listed = pdf_array_len(c, kids);
        if (pdf_was_repaired(c, doc) || !pdf_is_int(c, count) || claimed < 1 ||
            claimed > pdf_xref_len(c, doc) || kindOf(c, root) != Kind::Pages || listed < 1 ||
            listed > claimed)
            return 0;
        if (listed > kKidsChecked)
            return static_cast<int>(claimed);
        std::int64_t sum = 0;
        for (int i = 0; i < listed; ++i) {
            pdf_obj* kid = pdf_array_get(c, kids, i);
            switch (kindOf(c, kid)) {
            case Kind::Page:
                sum += 1;
                break;
            case Kind::Pages:
                if (pdf_to_num(c, kid) == pdf_to_num(c, root))
                    return 0;
                sum += std::max<std::int64_t>(
                    0, pdf_to_int64(c, pdf_dict_get(c, kid, PDF_NAME(Count))));
                break;
            case Kind::Other:
                return 0;
            }
        }
        return sum == claimed ? static_cast<int>(claimed) : 0;
    });
}

namespace {

// A node of the tree being walked, and the next of its kids to visit.
struct Frame {
    Object node;
    int next = 0;
};

// The path from the root to page `first` (1-based), found through the
// tree's counts, each frame at the kid to visit next. A node whose count is
// the number of its kids holds pages only, so the page is taken straight
// from its kids: in a flat tree of thousands of pages nothing else is read.
// Throws MuError when the counts do not lead to a page.
std::vector<Frame> pathTo(fz_context* c, pdf_obj* root, int first, std::unordered_set<int>& seen) {
    const MuError unsound("the page tree's counts do not add up");
    std::vector<Frame> path;
    path.push_back({Object(c, pdf_keep_obj(c, root)), 0});
    std::int64_t skip = first - 1;
    for (;;) {
        pdf_obj* node = path.back().node.get();
        if (pdf_is_indirect(c, node) && !seen.insert(pdf_to_num(c, node)).second)
            throw unsound;
        pdf_obj* kids = guarded(c, [&] { return pdf_dict_get(c, node, PDF_NAME(Kids)); });
        const int count = guarded(c, [&] { return pdf_array_len(c, kids); });
        const std::int64_t claimed =
            guarded(c, [&] { return pdf_to_int64(c, pdf_dict_get(c, node, PDF_NAME(Count))); });
        const auto kindAt = [&](int i) {
            return guarded(c, [&] { return kindOf(c, pdf_array_get(c, kids, i)); });
        };
        if (claimed == count) {
            if (skip >= count || kindAt(static_cast<int>(skip)) != Kind::Page)
                throw unsound;
            path.back().next = static_cast<int>(skip);
            return path;
        }
        int i = 0;
        for (; i < count; ++i) {
            const Kind kind = kindAt(i);
            if (kind == Kind::Page && skip-- == 0) {
                path.back().next = i;
                return path;
            }
            if (kind != Kind::Pages)
                continue;
            pdf_obj* kid = guarded(c, [&] { return pdf_array_get(c, kids, i); });
            const std::int64_t below =
                guarded(c, [&] { return pdf_to_int64(c, pdf_dict_get(c, kid, PDF_NAME(Count))); });
            if (skip < below) {
                path.back().next = i + 1;
                path.push_back({Object(c, pdf_keep_obj(c, kid)), 0});
                break;
            }
            skip -= std::max<std::int64_t>(below, 0);
        }
        if (i == count)
            throw unsound;
    }
}

// Up to `wanted` pages in order from page `first`: found through the counts,
// then walked kid by kid from there.
std::vector<Object> pagesFrom(Context& ctx, pdf_document* doc, int first, int wanted) {
    fz_context* c = ctx.get();
    pdf_obj* root = guarded(c, [&] { return pdf_dict_getp(c, pdf_trailer(c, doc), "Root/Pages"); });
    std::unordered_set<int> seen;
    std::vector<Frame> path = pathTo(c, root, first, seen);
    std::vector<Object> pages;
    while (!path.empty() && static_cast<int>(pages.size()) < wanted) {
        Frame& top = path.back();
        pdf_obj* kids = guarded(c, [&] { return pdf_dict_get(c, top.node.get(), PDF_NAME(Kids)); });
        if (top.next >= guarded(c, [&] { return pdf_array_len(c, kids); })) {
            path.pop_back();
            continue;
        }
        pdf_obj* kid = guarded(c, [&] { return pdf_array_get(c, kids, top.next++); });
        const Kind kind = guarded(c, [&] { return kindOf(c, kid); });
        if (kind == Kind::Page)
            pages.emplace_back(c, pdf_keep_obj(c, kid));
        else if (kind == Kind::Pages &&
                 !(pdf_is_indirect(c, kid) && !seen.insert(pdf_to_num(c, kid)).second))
            path.push_back({Object(c, pdf_keep_obj(c, kid)), 0});
    }
    return pages;
}

} // namespace

std::vector<Object> findPageRange(Context& ctx, pdf_document* doc, int first, int last,
                                  int& total) {
    fz_context* c = ctx.get();
    total = 0;
    std::int64_t claimed = guarded(c, [&] {
        return pdf_to_int64(c, pdf_dict_getp(c, pdf_trailer(c, doc), "Root/Pages/Count"));
    });
    int objects = guarded(c, [&] { return pdf_xref_len(c, doc); });
    if (claimed >= last && claimed <= objects) {
        try {
            std::vector<Object> pages = pagesFrom(ctx, doc, first, last - first + 1);
            if (static_cast<int>(pages.size()) == last - first + 1)
                return pages;
        } catch (const MuError&) {
            // A tree whose counts do not add up: walk it instead.
        }
    }
    std::vector<Object> pages = findPages(ctx, doc, last);
    total = static_cast<int>(pages.size());
    if (total < first || (total < last && last != INT_MAX))
        return {};
    pages.erase(pages.begin(), pages.begin() + (first - 1));
    return pages;
}

} // namespace tools
