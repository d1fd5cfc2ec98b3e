// Every line arvenzo-extract says starts with its name, and with the
// document's when it is one of several, so that logs can be searched.
#pragma once

#include <cstdio>
#include <string>

namespace cli {

// `text` as one line can show it: each control character (a line break
// among them) written as JSON writes it, "\u000a", so that no name can
// break a line or drive the terminal.
inline std::string OneLine(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out;
}

class Messages {
public:
    Messages(std::FILE* out, std::string document = {})
        : out_(out),
          prefix_("arvenzo-extract: " + (document.empty() ? "" : OneLine(document) + ": ")) {}

    // One message, one line; blanks at its end are dropped, and an empty
    // one is not said.
    void Say(const std::string& message) const {
        // Once the stream fails (a pipe nobody reads), the rest goes unsaid.
        if (std::ferror(out_))
            return;
        std::string line = message;
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
            line.pop_back();
        if (line.empty())
            return;
        std::fprintf(out_, "%s%s\n", prefix_.c_str(), OneLine(line).c_str());
        std::fflush(out_);
    }

    std::FILE* Stream() const { return out_; }

private:
    std::FILE* out_;
    std::string prefix_;
};

} // namespace cli
