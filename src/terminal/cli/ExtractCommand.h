// arvenzo-extract: the window's extraction job, run from a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { kAllWritten = 0, kSomeFailed = 1, kBadInput = 2 };

// Runs the command with `args` (without the program name), reporting on
// `out`; returns the exit code.
int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out);

} // namespace cli
