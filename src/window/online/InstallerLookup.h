// Reading the vendor's answer to "where is this installer?": a display name
// and an address, each behind a key, form-encoded.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace online {

// Cuts the answer into fields at every "&" and every run of blanks (codes 1
// to 32); a field that starts with a double quote runs to the closing one,
// a doubled quote inside standing for one. A final "&" adds an empty field.
std::vector<std::string> CutLookupFields(std::string_view reply);

// "+" is a space; "%" and two hexadecimal digits give that byte; a broken
// escape, or one giving 0, gives nothing.
std::string UrlDecode(std::string_view text);

struct InstallerInfo {
    std::optional<std::string> displayName; // missing when the answer has no field
    std::optional<std::string> address;     // missing when it has no second field
};

// The keys are not read: the first 8 characters of the first field and the
// first 10 of the second are dropped, whatever they are.
InstallerInfo ReadLookupReply(std::string_view reply);

} // namespace online
