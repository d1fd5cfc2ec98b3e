// Several documents in one command: each runs as a command of its own, up
// to --jobs of them at once, its images in a folder named after it.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Messages.h"

namespace cli {

// Set for a run that is one of several documents: the document's name,
// which its messages carry, and whether it may ask for a password (runs
// side by side must not ask on one terminal at once).
inline constexpr const char* kDocumentVariable = "ARVENZO_EXTRACT_DOCUMENT";
inline constexpr const char* kNoPromptVariable = "ARVENZO_EXTRACT_NO_PROMPT";

// Returns the worst exit code of the documents.
int RunSeveralDocuments(const ExtractOptions& options, const Messages& messages);

} // namespace cli
