#include "text/IntegerText.h"

namespace text {

ConvertError::ConvertError(const std::string& offending)
    : std::runtime_error("'" + offending + "' is not a valid integer value") {}

namespace {

// Length of the hexadecimal prefix at `i`, or 0 when there is none.
std::size_t HexPrefix(const std::string& s, std::size_t i) {
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X'))
        return 1;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X'))
        return 2;
    return 0;
}

} // namespace

bool TryStrToInt(const std::string& s, std::int32_t& value) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    if (const std::size_t prefix = HexPrefix(s, i); prefix > 0) {
        i += prefix;
        const std::size_t digits = s.size() - i;
        if (digits == 0 || digits > 8)
            return false;
        std::uint32_t pattern = 0;
        for (; i < s.size(); ++i) {
            const int d = HexDigitValue(s[i]);
            if (d < 0)
                return false;
            pattern = pattern << 4 | static_cast<std::uint32_t>(d);
        }
        if (negative)
            pattern = 0u - pattern;
        value = static_cast<std::int32_t>(pattern);
        return true;
    }
    if (i == s.size())
        return false;
    std::int64_t magnitude = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9')
            return false;
        magnitude = magnitude * 10 + (s[i] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1)
            return false;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX)
        return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

std::int32_t StrToInt(const std::string& s) {
    std::int32_t value = 0;
    if (!TryStrToInt(s, value))
        throw ConvertError(s);
    return value;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string IntToStr(std::int64_t value) {
    return std::to_string(value);
}

} // namespace text
