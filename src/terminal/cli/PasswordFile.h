// A password kept in a file, so that it shows in no process list.
#pragma once

#include "cli/Messages.h"

#include <optional>
#include <string>

namespace cli {

// The first line of `path`, without its line end; nothing after saying why
// it cannot be read.
std::optional<std::string> ReadPasswordFile(const std::string& path, const Messages& messages);

} // namespace cli
