// Every line arvenzo-extract says starts with its name, and with the
// document's when it is one of several, so that logs can be searched.
#pragma once

#include <cstdio>
#include <string>

namespace cli {

class Messages {
public:
    Messages(std::FILE* out, std::string document = {})
        : out_(out), prefix_("arvenzo-extract: " + (document.empty() ? "" : document + ": ")) {}

    // One message; each of its lines gets the prefix, blank ones are dropped.
    void Say(const std::string& message) const {
        // Once the stream fails (a pipe nobody reads), the rest goes unsaid.
        if (std::ferror(out_))
            return;
        std::size_t start = 0;
        while (start <= message.size()) {
            std::size_t end = message.find('\n', start);
            if (end == std::string::npos)
                end = message.size();
            std::string line = message.substr(start, end - start);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
                line.pop_back();
            if (!line.empty())
                std::fprintf(out_, "%s%s\n", prefix_.c_str(), line.c_str());
            start = end + 1;
        }
        std::fflush(out_);
    }

    std::FILE* Stream() const { return out_; }

private:
    std::FILE* out_;
    std::string prefix_;
};

} // namespace cli
