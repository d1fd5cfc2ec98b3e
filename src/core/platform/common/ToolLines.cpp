#include "platform/common/ToolLines.h"

#include "platform/ConsoleTool.h"

#include <algorithm>

namespace platform {

bool ToolLines::Take(std::string& line, bool more) {
    std::size_t end = printed_.find('\n', taken_);
    bool whole = end != std::string::npos;
    if (whole && end - taken_ > kLongestToolLine)
        whole = false; // its first piece
    else if (!whole && more && printed_.size() - taken_ <= kLongestToolLine)
        return false;
    if (!whole)
        end = std::min(printed_.size(), taken_ + kLongestToolLine);
    if (end == taken_ && !whole)
        return false;
    line.assign(printed_, taken_, end - taken_);
    taken_ = whole ? end + 1 : end;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    // Lines are taken by moving on, and what was taken goes now and then,
    // so that a burst of thousands costs no copying.
    if (taken_ > 65536 || taken_ == printed_.size()) {
        printed_.erase(0, taken_);
        taken_ = 0;
    }
    return true;
}

} // namespace platform
