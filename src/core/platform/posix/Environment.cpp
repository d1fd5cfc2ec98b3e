#include "platform/Environment.h"

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace platform {

char PathSeparator() {
    return '/';
}

std::string TempFolder() {
    // A relative folder would mean another folder to the tools, which run
    // in their own.
    for (const char* name : {"TEMP", "XDG_RUNTIME_DIR", "TMPDIR"})
        if (const char* value = std::getenv(name); value && *value)
            return AbsolutePath(value);
    return "/tmp";
}

std::string AbsolutePath(const std::string& path) {
    if (!path.empty() && path[0] == '/')
        return path;
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? path : (current / path).string();
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string{};
}

} // namespace platform
