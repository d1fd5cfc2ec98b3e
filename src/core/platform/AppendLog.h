// A file that only grows, line by line, and keeps every line it was given
// even when the process is killed the moment after.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// Appends to `path`, made when missing, each text in one write, so that a
// line is in the file once Append returns and never cut in two.
class AppendLog {
public:
    explicit AppendLog(std::string path);
    ~AppendLog(); // closes
    AppendLog(const AppendLog&) = delete;
    AppendLog& operator=(const AppendLog&) = delete;

    // False when the file cannot be opened or written.
    bool Append(const std::string& text);
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The text of a file an AppendLog wrote, without NUL bytes; empty when it
// cannot be read.
std::string ReadAppendLog(const std::string& path);

} // namespace platform
