#pragma once

#include "mupdf_context.h"
#include "page_tree.h"

#include <optional>
#include <string>

namespace tools {

// Opens a PDF, repairing it if MuPDF can. Throws MuError when the file is
// missing, is not a PDF, or is damaged beyond repair.
Document openPdf(Context& ctx, const std::string& path);

// Whether the document can be read: it needs no user password, or the given
// one (user or owner) opens it.
bool unlockPdf(Context& ctx, pdf_document* doc, const std::optional<std::string>& password);

enum class OpenResult { Ready, Failed, Locked };

// Opens and unlocks `path` as both tools start. On failure it has already
// said why: contract::kIncorrectPassword on standard output, anything else
// on standard error.
OpenResult openForReading(Context& ctx, const std::string& path,
                          const std::optional<std::string>& password, Document& doc);

// Pages `first` to `last` (1-based, inclusive; `last` INT_MAX for all) of
// the document, into `pages`, and into `total` how many it has when they
// had to be counted (0 when not). A document without a page that can be
// found is damaged, never empty: false, said on standard error.
bool readPages(Context& ctx, pdf_document* doc, const std::string& path, int first, int last,
               std::vector<Object>& pages, int& total);

} // namespace tools
