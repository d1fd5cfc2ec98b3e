// A picture, page or file the job could not deliver, named so that a user
// can find it: "page 3, image 2 (object 12): the JPEG data is cut short".
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace extract {

struct ImageFailure {
    int page = 0;         // 0 when the failure belongs to no page
    int imageOnPage = 0;  // from 1 in drawing order; 0 when not known
    int objectNumber = 0; // 0 when not known
    std::string reason;
};

// "page 3, image 2 (object 12): reason", leaving out what is not known.
std::string NamedFailure(const ImageFailure& failure);

// The failures in what the tool printed about `page`, one a line. A line
// that names no picture of that page is the page's failure as it stands.
std::vector<ImageFailure> ToolFailures(int page, const std::string& output);

// A plain reason for the tool's own: a decoder's words mean little to a
// user.
std::string PlainReason(const std::string& toolReason);

// How many failures a box lists before it only counts the rest.
inline constexpr std::size_t kListedFailures = 10;

// The failures one a line, joined by `lineEnd`; past kListedFailures the
// rest are only counted, in a last line of `more`'s words.
std::string ListFailures(const std::vector<std::string>& failures, const std::string& lineEnd,
                         const std::function<std::string(std::size_t)>& more);

} // namespace extract
