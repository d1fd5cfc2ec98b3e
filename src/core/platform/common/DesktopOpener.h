// What OpenWithShell does when no test has replaced it; each system hands
// the target to its desktop its own way.
#pragma once

#include <string>

namespace platform::common {

bool OpenWithDesktop(const std::string& target);

} // namespace platform::common
