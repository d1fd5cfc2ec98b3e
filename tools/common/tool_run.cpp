#include "tool_run.h"

#include "pdf_open.h"

#include <cstdio>
#include <exception>

namespace tools {

std::optional<int> openOrExitCode(Context& ctx, const std::string& path,
                                  const std::optional<std::string>& password, Document& doc) {
    switch (openForReading(ctx, path, password, doc)) {
    case OpenResult::Failed:
        return kExitFailed;
    case OpenResult::Locked:
        return kExitPassword;
    case OpenResult::Ready:
        break;
    }
    return std::nullopt;
}

int runNamingFile(const std::string& file, const std::function<int()>& work) {
    try {
        return work();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "Error: %s: %s\n", file.c_str(), e.what());
        return kExitFailed;
    }
}

std::string oneLine(std::string text) {
    for (char& ch : text)
        if (static_cast<unsigned char>(ch) < 0x20 || ch == 0x7f)
            ch = ' ';
    return text;
}

std::string counted(long long n, const std::string& what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}

} // namespace tools
