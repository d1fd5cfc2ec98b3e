#include "cli/ExtractCommand.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    try {
        return cli::RunExtractCommand(std::vector<std::string>(argv + 1, argv + argc), stdout,
                                      stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "arvenzo-extract: %s\n", e.what());
        return cli::kBadInput;
    }
}
