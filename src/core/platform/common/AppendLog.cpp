#include "platform/AppendLog.h"

#include <fstream>
#include <iterator>

namespace platform {

std::string ReadAppendLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A journal an earlier build left when killed ends in NUL bytes.
    const std::size_t end = text.find('\0');
    if (end != std::string::npos)
        text.resize(end);
    return text;
}

} // namespace platform
