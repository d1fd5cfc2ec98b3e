#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace glimmet {

// Writing a scratch file failed (a missing folder, a full disk...).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void failWriting(const std::string& path, int err);

// The name a scratch file is written under until it is whole:
// contract::kWorkingPrefix, the process number and a hyphen before its own.
std::string workingName(const std::string& path);

// One scratch file being written, under its working name. It is always made
// new and never through a link: a name someone else put there first is
// refused, and whatever it points to stays as it was. Unless close()
// succeeds, the working file is removed again.
class ScratchOutput {
public:
    explicit ScratchOutput(std::string path);
    ScratchOutput(const ScratchOutput&) = delete;
    ScratchOutput& operator=(const ScratchOutput&) = delete;
    ~ScratchOutput();

    // The name the file takes once whole.
    const std::string& path() const { return path_; }

    // Throws WriteError.
    void write(const void* data, size_t size);
    // Flushes and closes the file, which stays under its working name.
    // Throws WriteError, the working file then removed.
    void close();

private:
    [[noreturn]] void fail();

    static constexpr size_t kBufferSize = 1 << 20;
    std::string path_;
    std::string working_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    FILE* stream_ = nullptr;
};

} // namespace glimmet
