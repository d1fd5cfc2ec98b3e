#include "platform/common/ProcessMarkText.h"

#include <charconv>

namespace platform::common {

namespace {

constexpr int kBase = 36;

std::string InBase(unsigned long long value) {
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value, kBase);
    return std::string(digits, end);
}

bool FromBase(const std::string& text, unsigned long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, kBase);
    return !text.empty() && ec == std::errc() && ptr == end;
}

} // namespace

std::string WriteMark(unsigned long long pid, unsigned long long start) {
    return InBase(pid) + "-" + InBase(start);
}

bool ReadMark(const std::string& mark, unsigned long long& pid, unsigned long long& start) {
    const std::size_t dash = mark.find('-');
    return dash != std::string::npos && FromBase(mark.substr(0, dash), pid) &&
           FromBase(mark.substr(dash + 1), start);
}

} // namespace platform::common
