#pragma once

#include "mupdf_context.h"
#include "page_tree.h"

#include <optional>
#include <string>

namespace tools {

// The program looks for exactly this first line to ask for a password.
inline constexpr const char* kIncorrectPassword = "Command Line Error: Incorrect password";

// Opens a PDF, repairing it if MuPDF can. Throws MuError when the file is
// missing, is not a PDF, or is damaged beyond repair.
Document openPdf(Context& ctx, const std::string& path);

// Whether the document can be read: it needs no user password, or the given
// one (user or owner) opens it.
bool unlockPdf(Context& ctx, pdf_document* doc, const std::optional<std::string>& password);

enum class OpenResult { Ready, Failed, Locked };

// Opens, unlocks and finds the pages of `path` (the first `limit` of them),
// as both tools start. A document without a page it can find is damaged,
// never empty. On failure it has already said why: the password line on
// standard output, anything else on standard error.
OpenResult openForReading(Context& ctx, const std::string& path,
                          const std::optional<std::string>& password, Document& doc,
                          std::vector<Object>& pages, int limit = INT_MAX);

} // namespace tools
