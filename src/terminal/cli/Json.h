// JSON as arvenzo-extract writes it: an object a line, its keys in the
// order they were set, and bytes that are not UTF-8 (a file name's, say)
// as U+FFFD, so that every line parses.
#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace cli {

using Json = nlohmann::ordered_json;

inline std::string JsonLine(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// The value, or null.
template <typename T> Json OrNull(const std::optional<T>& value) {
    return value ? Json(*value) : Json();
}

} // namespace cli
