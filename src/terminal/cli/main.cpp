#include "cli/ExitCodes.h"
#include "cli/ExtractCommand.h"
#include "platform/Terminal.h"

#include <cstdio>
#include <exception>

int main(int argc, char* argv[]) {
    platform::OpenClosedStandardStreams();
    // Messages nobody reads any more do not end the run: it goes on quietly.
    platform::IgnoreBrokenPipes();
    int code = cli::kBadInput;
    try {
        code =
            cli::RunExtractCommand(std::vector<std::string>(argv + 1, argv + argc), stdout, stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "arvenzo-extract: %s\n", e.what());
    }
    return cli::CheckedOutput(code, stdout, stderr);
}
