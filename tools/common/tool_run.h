#pragma once

#include "mupdf_context.h"

#include <functional>
#include <optional>
#include <string>

namespace tools {

// How a tool ends. The program tells a wrong password by the line the tool
// prints, so only the values matter to it: keep them as they are.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1, // said on standard error
    kExitUsage = 2,
    kExitPassword = 3, // contract::kIncorrectPassword printed
};

// Opens and unlocks `path` as a tool starts (see openForReading). Nothing
// when it is ready; else the exit code, its reason already printed.
std::optional<int> openOrExitCode(Context& ctx, const std::string& path,
                                  const std::optional<std::string>& password, Document& doc);

// Runs a tool's work, which returns its exit code. An error that escapes it
// ends the run as a failure, on one line that names `file`.
int runNamingFile(const std::string& file, const std::function<int()>& work);

// A value as it goes on one line of output: control characters, a line
// break among them, become blanks, so that no text a document holds can
// start a line of its own.
std::string oneLine(std::string text);

// `n` and the word for what it counts, in the plural unless n is 1:
// "1 page", "3 colour components".
std::string counted(long long n, const std::string& what);

} // namespace tools
