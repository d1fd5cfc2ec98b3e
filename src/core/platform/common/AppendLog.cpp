#include "platform/AppendLog.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace platform {

std::string ReadAppendLog(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // An earlier build's writer, killed, left a reserve of NUL bytes, which
    // a later writer appends after.
    text.erase(std::remove(text.begin(), text.end(), '\0'), text.end());
    return text;
}

} // namespace platform
