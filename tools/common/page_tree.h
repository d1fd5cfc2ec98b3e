#pragma once

#include "mupdf_context.h"

#include <climits>
#include <vector>

namespace tools {

// The pages of a document in their order, found by walking its page tree.
// The tree's own /Count entries are not believed: a document can claim a
// million pages and hold one. Nodes met a second time (a loop, or a kid
// listed twice) and kids that are not dictionaries are passed over.
// Stops once `limit` pages are found. Throws MuError when the tree cannot be
// read at all.
std::vector<Object> findPages(Context& ctx, pdf_document* doc, int limit = INT_MAX);

// The page count the tree's root gives, when it can be believed without
// walking the tree; 0 when it cannot. It is believed in a document that
// needed no repair when it is a whole number of at least one, no more than
// the document's objects and no less than the root's kids, and, for a root
// of a few kids, what their own counts add up to.
int believedPageCount(Context& ctx, pdf_document* doc);

// Pages `first` to `last` (1-based, 1 <= first <= last). When the root's
// /Count is believable (no more than the document's objects, and at least
// `last`), page `first` is found through the tree's counts and the range
// walked from there, which costs next to nothing in a long document;
// otherwise, or when the counts do not add up, the tree is walked from its
// start. Empty when the document has fewer
// pages; `total` is then the number it has. `total` is 0 when the pages were looked up directly.
std::vector<Object> findPageRange(Context& ctx, pdf_document* doc, int first, int last, int& total);

} // namespace tools
