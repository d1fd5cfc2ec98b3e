// A file that only grows, line by line, and keeps every line it was given
// even when the process is killed the moment after.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// Appends to `path`, made when missing. Where the system allows, the file is
// written through a shared mapping of blocks reserved ahead: a line is in
// the file as soon as it is copied in, without a system call for each. Until
// Close(), the file may end in NUL bytes after its last line; readers stop
// at the first.
class AppendLog {
public:
    explicit AppendLog(std::string path);
    ~AppendLog(); // closes
    AppendLog(const AppendLog&) = delete;
    AppendLog& operator=(const AppendLog&) = delete;

    // False when the file cannot be opened or grown.
    bool Append(const std::string& text);
    // Cuts the reserve off and closes the file.
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The text of a file an AppendLog wrote, up to its first NUL byte; empty
// when it cannot be read.
std::string ReadAppendLog(const std::string& path);

} // namespace platform
