// The documents of a run: those named in a --from list, and whether each
// can be read at all before anything is started for it.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Messages.h"

#include <string>

namespace cli {

// Adds the documents named in the --from list to those given; false after
// saying why when it cannot be read, is not a file, a pipe or standard
// input, holds a name longer than the longest path, or names none.
bool ReadDocumentList(ExtractOptions& options, const Messages& messages);

// Why `input` (an absolute path) cannot be read as a document, after its
// path (" does not exist"); empty for an ordinary file.
std::string DocumentProblem(const std::string& input);

} // namespace cli
