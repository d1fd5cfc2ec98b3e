#include "online/VersionNumber.h"

#include <QtGlobal>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace online {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

float ReadAsFloat(const std::string& text) {
    const std::optional<double> number = ReadVersionNumber(text);
    if (!number)
        throw std::runtime_error("'" + text + "' is not a valid floating point value");
    const float value = static_cast<float>(*number);
    if (!std::isfinite(value))
        throw std::runtime_error("'" + text + "' is out of range");
    return value;
}

} // namespace

std::optional<double> ReadVersionNumber(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ')
        ++begin;
    std::size_t end = text.size();
    while (end > begin && text[end - 1] == ' ')
        --end;
    const std::string_view number = text.substr(begin, end - begin);

    // Check the whole shape first: the parser below would accept more.
    std::size_t at = 0;
    bool negative = false;
    if (at < number.size() && (number[at] == '+' || number[at] == '-'))
        negative = number[at++] == '-';
    const std::size_t mantissa = at;
    at = SkipDigits(number, at);
    std::size_t digits = at - mantissa;
    if (at < number.size() && number[at] == '.') {
        const std::size_t fraction = ++at;
        at = SkipDigits(number, at);
        digits += at - fraction;
    }
    if (digits == 0)
        return std::nullopt;
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-'))
            ++at;
        const std::size_t exponent = at;
        at = SkipDigits(number, at);
        if (at == exponent)
            return std::nullopt;
    }
    if (at != number.size())
        return std::nullopt;

    // from_chars takes no "+" and ignores the locale.
    std::string_view unsigned_part = number.substr(mantissa);
    double value = 0;
    const auto [stop, error] =
        std::from_chars(unsigned_part.data(), unsigned_part.data() + unsigned_part.size(), value);
    if (error != std::errc() || stop != unsigned_part.data() + unsigned_part.size())
        return std::nullopt;
    return negative ? -value : value;
}

bool IsNewerVersion(const std::string& installed, const std::string& newest) {
    const float have = ReadAsFloat(installed);
    const float offered = ReadAsFloat(newest);
    return have < offered;
}

std::string FormatVersionNumber(float value) {
    // The float's exact decimal expansion, rounded half away from zero at
    // the second decimal.
    // to_chars, unlike printf, never writes the locale's decimal comma.
    char buffer[128];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, std::fabs(static_cast<double>(value)),
                      std::chars_format::fixed, 20);
    std::string digits(buffer, written.ptr);
    const std::size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string kept = whole + digits.substr(point + 1, 2);
    if (digits[point + 3] >= '5') {
        std::size_t i = kept.size();
        while (i > 0 && kept[i - 1] == '9')
            kept[--i] = '0';
        if (i == 0)
            kept.insert(kept.begin(), '1');
        else
            ++kept[i - 1];
    }
    std::string integer = kept.substr(0, kept.size() - 2);
    const std::string decimals = kept.substr(kept.size() - 2);
    const std::size_t first = integer.find_first_not_of('0');
    integer = first == std::string::npos ? std::string() : integer.substr(first);
    const bool zero = integer.empty() && decimals == "00";
    return (value < 0 && !zero ? "-" : "") + integer + "." + decimals;
}

const char* const kUpgradeQuestion =
    QT_TRANSLATE_NOOP("online", "A newer Arvenzo is available!\r\nVersion number: %1\r\n\r\n"
                                "Would you like to upgrade now?");

std::string OfferedVersion(const std::string& newest) {
    return FormatVersionNumber(ReadAsFloat(newest));
}

std::string UpgradeQuestion(const std::string& newest) {
    std::string question = kUpgradeQuestion;
    return question.replace(question.find("%1"), 2, OfferedVersion(newest));
}

} // namespace online
