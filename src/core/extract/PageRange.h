// Which pages a job covers.
#pragma once

#include <cstdint>
#include <string>

namespace extract {

struct PageSpan {
    std::int32_t first = 1;
    std::int32_t last = 0;
    // The range typed did not fit, and the whole document stands in for it.
    bool replaced = false;
    std::int32_t Count() const { return last - first + 1; }
};

// Reads the range the user typed ("", "N", "N-", "-N", "A-B", ...) against
// the document's page count. A range that does not fit the document in
// every respect means the whole document. Raises text::ConvertError for a
// token that is not a number and std::out_of_range for a range of hyphens.
PageSpan ParsePageRange(const std::string& range, std::int32_t pageCount);

} // namespace extract
