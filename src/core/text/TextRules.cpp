#include "text/TextRules.h"

namespace text {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

std::size_t LastDelimiter(const std::string& path) {
    return path.find_last_of(kPathDelimiters);
}

} // namespace

std::string Trim(const std::string& s) {
    std::size_t first = 0;
    std::size_t last = s.size();
    while (first < last && IsBlank(s[first]))
        ++first;
    while (last > first && IsBlank(s[last - 1]))
        --last;
    return s.substr(first, last - first);
}

std::string ExtractFileExt(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos)
        return {};
    const std::size_t delimiter = LastDelimiter(path);
    if (delimiter != std::string::npos && delimiter > dot)
        return {};
    return path.substr(dot);
}

std::string ExtractFilePath(const std::string& path) {
    const std::size_t delimiter = LastDelimiter(path);
    return delimiter == std::string::npos ? std::string{} : path.substr(0, delimiter + 1);
}

std::string ExtractFileName(const std::string& path) {
    const std::size_t delimiter = LastDelimiter(path);
    return delimiter == std::string::npos ? path : path.substr(delimiter + 1);
}

std::string LowerCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace text
