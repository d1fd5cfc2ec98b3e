#include "cli/PasswordFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

namespace cli {

std::optional<std::string> ReadPasswordFile(const std::string& path, const Messages& messages) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        messages.Say("cannot read the password file " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    std::string line;
    std::getline(file, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace cli
