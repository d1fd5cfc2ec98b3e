#include "online/InstallerLookup.h"

#include "text/IntegerText.h"

#include <algorithm>

namespace online {

namespace {

bool IsBlank(char c) {
    return c >= 1 && c <= ' ';
}

std::string Drop(const std::string& field, std::size_t count) {
    return field.size() > count ? field.substr(count) : std::string();
}

} // namespace

std::vector<std::string> CutLookupFields(std::string_view reply) {
    // A NUL ends the answer, as it ends any C string.
    reply = reply.substr(0, std::min(reply.find('\0'), reply.size()));
    std::vector<std::string> fields;
    std::size_t at = 0;
    const auto skipBlanks = [&] {
        while (at < reply.size() && IsBlank(reply[at]))
            ++at;
    };
    skipBlanks();
    while (at < reply.size()) {
        std::string field;
        if (reply[at] == '"') {
            ++at;
            while (at < reply.size()) {
                if (reply[at] == '"') {
                    ++at;
                    if (at >= reply.size() || reply[at] != '"')
                        break;
                }
                field += reply[at++];
            }
        } else {
            const std::size_t from = at;
            while (at < reply.size() && !IsBlank(reply[at]) && reply[at] != '&')
                ++at;
            field = reply.substr(from, at - from);
        }
        fields.push_back(field);
        skipBlanks();
        if (at < reply.size() && reply[at] == '&') {
            if (at + 1 == reply.size())
                fields.emplace_back();
            ++at;
            skipBlanks();
        }
    }
    return fields;
}

std::string UrlDecode(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') {
            out += ' ';
        } else if (text[i] == '%') {
            const int high = i + 1 < text.size() ? text::HexDigitValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? text::HexDigitValue(text[i + 2]) : -1;
            if (high >= 0 && low >= 0 && (high | low) != 0)
                out += static_cast<char>(high * 16 + low);
            i = std::min(i + 2, text.size());
        } else {
            out += text[i];
        }
    }
    return out;
}

InstallerInfo ReadLookupReply(std::string_view reply) {
    const std::vector<std::string> fields = CutLookupFields(reply);
    InstallerInfo info;
    if (!fields.empty()) {
        std::string name = UrlDecode(Drop(fields[0], 8));
        std::replace(name.begin(), name.end(), '+', ' ');
        info.displayName = name;
    }
    if (fields.size() >= 2)
        info.address = UrlDecode(Drop(fields[1], 10));
    return info;
}

} // namespace online
