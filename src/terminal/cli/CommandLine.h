// The command line of arvenzo-extract.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct ExtractOptions {
    std::string range;
    std::string format = "Original";
    std::string prefix;
    std::optional<std::string> password;
    std::string input;
    std::string outputFolder;
};

inline constexpr const char* kUsage =
    "usage: arvenzo-extract [-r RANGE] [-f FORMAT] [-p PREFIX] [-P PASSWORD] INPUT.pdf "
    "OUTPUT_FOLDER\n"
    "  -r RANGE     pages, as in the window: 3, 3-7, 5- (default: all)\n"
    "  -f FORMAT    Original, BMP, JPEG, JPEG-2000, PNG or TIFF (default: Original)\n"
    "  -p PREFIX    file-name prefix of the images (default: none)\n"
    "  -P PASSWORD  the document's user password (asked for when needed and missing)\n";

// Reads the arguments (without the program name); nothing on bad usage,
// with `error` saying why.
std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error);

} // namespace cli
