#include "platform/common/Paths.h"

#include "platform/Environment.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace platform {

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != PathSeparator())
        folder += PathSeparator();
    return folder;
}

bool HoldsSeparator(const std::string& name) {
    return name.find('/') != std::string::npos || name.find(PathSeparator()) != std::string::npos;
}

std::string CanonicalPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path resolved =
        std::filesystem::weakly_canonical(AbsolutePath(path), error);
    std::string text = error ? AbsolutePath(path) : resolved.string();
    const std::size_t root = std::filesystem::path(text).root_path().string().size();
    while (text.size() > std::max<std::size_t>(root, 1) && text.back() == PathSeparator())
        text.pop_back();
    return text;
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
