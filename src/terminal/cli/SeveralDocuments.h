// Several documents in one command: each runs as a command of its own, up
// to --jobs of them at once, its images in a folder named after it.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Messages.h"

namespace cli {

// The folder a document's images get among several, inside `outputFolder`:
// its file name without ".pdf", or the whole file name when that would
// leave "", "." or "..". Never the folder itself nor one outside it.
std::string DocumentFolder(const std::string& outputFolder, const std::string& input);

// Returns the worst exit code of the documents.
int RunSeveralDocuments(const ExtractOptions& options, const Messages& messages);

} // namespace cli
