// What a console tool printed, handed out a line at a time.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class ToolLines {
public:
    // Where bytes read from the tool go.
    std::string& Incoming() { return printed_; }
    // The next whole line, without its line end; a line longer than
    // kLongestToolLine comes in pieces. With `more` false (the tool's output
    // has ended) a last line without its end comes too.
    bool Take(std::string& line, bool more);

private:
    std::string printed_;
    std::size_t taken_ = 0;
};

} // namespace platform
