#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace text {

// A text that does not form an integer; the message names the text.
class ConvertError : public std::runtime_error {
public:
    explicit ConvertError(const std::string& offending);
};

// Reads a whole text as a 32-bit integer: leading spaces, an optional sign,
// then decimal digits or up to eight hexadecimal digits after "$", "x", "X",
// "0x" or "0X" (a two's-complement pattern). Anything else raises
// ConvertError.
std::int32_t StrToInt(const std::string& s);

// Like StrToInt, but false instead of an error.
bool TryStrToInt(const std::string& s, std::int32_t& value);

// The value of one hexadecimal digit of either case; -1 for anything else.
int HexDigitValue(char c);

// Decimal text of a value.
std::string IntToStr(std::int64_t value);

} // namespace text
