#include "cli/CommandLine.h"

namespace cli {

std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error) {
    ExtractOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help") {
            error.clear();
            return std::nullopt;
        }
        if (a == "-r" || a == "-f" || a == "-p" || a == "-P") {
            if (i + 1 >= args.size()) {
                error = "option " + a + " needs a value";
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (a == "-r")
                options.range = value;
            else if (a == "-f")
                options.format = value;
            else if (a == "-p")
                options.prefix = value;
            else
                options.password = value;
            continue;
        }
        if (a == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1,
                              args.end());
            break;
        }
        if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return std::nullopt;
        }
        positional.push_back(a);
    }
    if (positional.size() != 2) {
        error = "expected INPUT.pdf and OUTPUT_FOLDER";
        return std::nullopt;
    }
    options.input = positional[0];
    options.outputFolder = positional[1];
    return options;
}

} // namespace cli
