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

} // namespace tools
