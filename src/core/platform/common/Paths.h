// What both systems share in reading paths.
#pragma once

#include "platform/Files.h"

#include <string>

namespace platform::common {

// The state of a path the system could not follow to its end, from what
// its error says.
PathState Unreached(bool missing, bool tooLong, std::string reason);

} // namespace platform::common
