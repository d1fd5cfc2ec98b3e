// One document's run: its images written into the output folder, or listed.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Messages.h"

#include <iostream>
#include <optional>
#include <string>

namespace cli {

// Runs the options' first document, opened with `givenPassword` or one
// asked for on the terminal; with --list its rows go to `listing`.
// Returns the exit code.
int RunDocument(const ExtractOptions& options, const std::optional<std::string>& givenPassword,
                const Messages& messages, std::ostream& listing = std::cout);

} // namespace cli
