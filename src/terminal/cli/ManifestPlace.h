// Where a run's manifest may go: never over the document, an image or a
// working file of the run, nor onto what is not an ordinary file.
#pragma once

#include "cli/CommandLine.h"

#include <string>

namespace cli {

// Why `manifest` cannot take the manifest of a run of `options` over
// `input` into `outputFolder`, or empty when it can.
std::string ManifestPlaceProblem(const std::string& manifest, const std::string& input,
                                 const std::string& outputFolder, const ExtractOptions& options);

} // namespace cli
