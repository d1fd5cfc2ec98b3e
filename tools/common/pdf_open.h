#pragma once

#include "mupdf_context.h"

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

// The number of pages; throws MuError when the page tree is unusable.
int pageCount(Context& ctx, pdf_document* doc);

enum class OpenResult { Ready, Failed, Locked };

// Opens, unlocks and counts the pages of `path`, as both tools start. On
// failure it has already said why: the password line on standard output,
// anything else on standard error.
OpenResult openForReading(Context& ctx, const std::string& path,
                          const std::optional<std::string>& password, Document& doc, int& pages);

} // namespace tools
