// The pages a command asks for, and what they come to in a document.
#pragma once

#include "cli/Messages.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace cli {

// Pages as asked for: an end left open runs to the document's start or end.
struct PageRequest {
    std::optional<long long> first;
    std::optional<long long> last;
    std::string text; // as given, for messages
};

// "N", "N-M", "N-", "-M" or empty (every page); nothing for other text.
std::optional<PageRequest> ReadPageRange(const std::string& text);

// A page number or a count; very long ones are kept large rather than
// wrapped, so they are still outside every document.
std::optional<long long> ReadWholeNumber(const std::string& digits);

// The first and last page asked for, or nothing after saying why the request
// does not fit the document; every page when none were asked for.
std::optional<std::pair<int, int>> ResolvePages(const PageRequest& request, std::int32_t pageCount,
                                                const Messages& messages);

} // namespace cli
