#include "platform/common/Paths.h"

#include "platform/Environment.h"

#include <utility>

namespace platform {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != PathSeparator())
        folder += PathSeparator();
    return folder;
}

namespace common {

PathState Unreached(bool missing, bool tooLong, std::string reason) {
    const PathState::Kind kind = missing   ? PathState::Kind::Missing
                                 : tooLong ? PathState::Kind::TooLong
                                           : PathState::Kind::Refused;
    return {kind, std::move(reason)};
}

} // namespace common

} // namespace platform
