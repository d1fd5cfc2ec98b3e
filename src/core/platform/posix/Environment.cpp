#include "platform/platform.h"

#include <climits>
#include <cstdlib>
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
    char buffer[PATH_MAX];
    if (!getcwd(buffer, sizeof buffer))
        return path;
    return std::string(buffer) + "/" + path;
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string{};
}

} // namespace platform
