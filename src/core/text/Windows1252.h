#pragma once

#include <string>

namespace text {

// Windows-1252 bytes to UTF-8; the five unassigned codes map to U+FFFD.
std::string Windows1252ToUtf8(const std::string& s);

} // namespace text
