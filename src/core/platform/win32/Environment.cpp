#include "platform/Environment.h"

#include <windows.h>

namespace platform {

char PathSeparator() {
    return '\\';
}

std::string TempFolder() {
    std::string value(MAX_PATH, '\0');
    for (;;) {
        const DWORD n =
            GetEnvironmentVariableA("TEMP", value.data(), static_cast<DWORD>(value.size()));
        if (n == 0)
            return {};
        // Too small a buffer is answered with the size needed, NUL included.
        if (n < value.size()) {
            value.resize(n);
            return value;
        }
        value.resize(n);
    }
}

std::string AbsolutePath(const std::string& path) {
    char buffer[32768];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : path;
}

std::string ExecutablePath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        // A cut path fills the whole buffer.
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        if (path.size() >= 32768)
            return {};
        path.resize(path.size() * 2);
    }
}

} // namespace platform
