// arvenzo-extract: the window's extraction job, run from a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

// Runs the command with `args` (without the program name): help and version
// on `out`, everything else on `err`; returns the exit code.
int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `code`, or a failure when what was written on `out` did not all arrive
// (a full disk, a pipe closed early), which is then said on `err`.
int CheckedOutput(int code, std::FILE* out, std::FILE* err);

} // namespace cli
