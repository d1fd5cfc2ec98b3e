#pragma once

#include "mupdf_context.h"

#include <climits>
#include <vector>

namespace tools {

using Object = Ref<pdf_obj, pdf_drop_obj>;

// The pages of a document in their order, found by walking its page tree.
// The tree's own /Count entries are not believed: a document can claim a
// million pages and hold one. Nodes met a second time (a loop, or a kid
// listed twice) and kids that are not dictionaries are passed over.
// Stops once `limit` pages are found. Throws MuError when the tree cannot be
// read at all.
std::vector<Object> findPages(Context& ctx, pdf_document* doc, int limit = INT_MAX);

// Pages `first` to `last` (1-based, 1 <= first <= last). When the root's
// /Count is believable (no more than the document's objects, and at least
// `last`), each is looked up through the tree's counts, which costs next to
// nothing in a long document; otherwise, or when a lookup fails, the tree
// is walked. Empty when the document has fewer pages; `total` is then the
// number it has. `total` is 0 when the pages were looked up directly.
std::vector<Object> findPageRange(Context& ctx, pdf_document* doc, int first, int last, int& total);

} // namespace tools
