// How a process mark is written: the process id and its start, each in
// base 36, joined by "-". Each system finds the two numbers its own way.
#pragma once

#include <string>

namespace platform::common {

std::string WriteMark(unsigned long long pid, unsigned long long start);

// False when `mark` is not two such numbers.
bool ReadMark(const std::string& mark, unsigned long long& pid, unsigned long long& start);

} // namespace platform::common
