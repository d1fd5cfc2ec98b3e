#include "cli/PageRequest.h"

#include "text/TextRules.h"

#include <algorithm>

namespace cli {

namespace {

std::string Pages(long long n) {
    return std::to_string(n) + (n == 1 ? " page" : " pages");
}

} // namespace

std::optional<long long> ReadWholeNumber(const std::string& digits) {
    if (digits.empty() ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    if (digits.size() > 12)
        return 999999999999LL;
    return std::stoll(digits);
}

std::optional<PageRequest> ReadPageRange(const std::string& text) {
    PageRequest request;
    request.text = text;
    const std::string r = text::Trim(text);
    if (r.empty())
        return request;
    const std::size_t dash = r.find('-');
    if (dash == std::string::npos) {
        request.first = ReadWholeNumber(r);
        request.last = request.first;
        return request.first ? std::optional<PageRequest>(request) : std::nullopt;
    }
    const std::string from = r.substr(0, dash);
    const std::string to = r.substr(dash + 1);
    if (from.empty() && to.empty())
        return std::nullopt;
    if (!from.empty() && !(request.first = ReadWholeNumber(from)))
        return std::nullopt;
    if (!to.empty() && !(request.last = ReadWholeNumber(to)))
        return std::nullopt;
    return request;
}

std::optional<std::pair<int, int>> ResolvePages(const PageRequest& request, std::int32_t pageCount,
                                                const Messages& messages) {
    if (!request.first && !request.last)
        return std::pair<int, int>{1, pageCount};
    const long long first = request.first.value_or(1);
    const long long last = request.last.value_or(pageCount);
    if (first < 1 || last < 1 || first > pageCount || last > pageCount) {
        messages.Say("page range " + request.text + " is outside the document, which has " +
                     Pages(pageCount));
        return std::nullopt;
    }
    if (first > last) {
        messages.Say("page range " + request.text + " is reversed; the document has " +
                     Pages(pageCount));
        return std::nullopt;
    }
    return std::pair<int, int>{static_cast<int>(first), static_cast<int>(last)};
}

} // namespace cli
