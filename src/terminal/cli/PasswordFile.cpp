#include "cli/PasswordFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace cli {

std::optional<std::string> ReadPasswordFile(const std::string& path, const Messages& messages) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        messages.Say("cannot read the password file " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    std::string line;
    for (int c = std::fgetc(file.get()); c != EOF && c != '\n'; c = std::fgetc(file.get()))
        line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace cli
