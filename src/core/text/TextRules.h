#pragma once

#include <string>

namespace text {

// The characters that end a folder in a path on this system.
#ifdef _WIN32
inline constexpr const char* kPathDelimiters = "\\:";
#else
inline constexpr const char* kPathDelimiters = "/";
#endif

// Removes every character with a code of 32 or less from both ends.
std::string Trim(const std::string& s);

// The part from the last "." after the last folder delimiter, dot included;
// empty when there is none.
std::string ExtractFileExt(const std::string& path);

// The path up to and including its last folder delimiter; empty when none.
std::string ExtractFilePath(const std::string& path);

// The path after its last folder delimiter.
std::string ExtractFileName(const std::string& path);

// Lowercases the letters A to Z only.
std::string LowerCase(const std::string& s);

} // namespace text
