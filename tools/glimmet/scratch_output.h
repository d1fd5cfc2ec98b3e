#pragma once

#include "Sha256.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace glimmet {

// Writing a scratch file failed (a missing folder, a full disk...).
class WriteError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The scratch folder's disk is full (or the user's quota spent): every
// later file would fail the same way, so the run ends at once.
class ScratchFull : public WriteError {
public:
    ScratchFull(const std::string& what, std::string reason)
        : WriteError(what), reason_(std::move(reason)) {}
    // The system's words.
    const std::string& reason() const { return reason_; }

private:
    std::string reason_;
};

// Throws ScratchFull when `err` says the disk is full, else WriteError.
[[noreturn]] void failWriting(const std::string& path, int err);
// Throws ScratchFull when `err` says the disk is full.
void failIfFull(const std::string& path, int err);

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

    // Hashes what is written from here on, for digest().
    void hashAsWritten() { sha_.emplace(); }

    // Throws WriteError.
    void write(const void* data, size_t size);
    // Flushes and closes the file, which stays under its working name.
    // Throws WriteError, the working file then removed.
    void close();

    // Once closed: the SHA-256 of what was written since hashAsWritten(),
    // in lower-case hex, or empty; and the bytes written in all.
    const std::string& digest() const { return digest_; }
    std::uint64_t size() const { return size_; }

private:
    [[noreturn]] void fail();

    static constexpr size_t kBufferSize = 1 << 20;
    std::string path_;
    std::string working_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
    FILE* stream_ = nullptr;
    std::optional<digest::Sha256> sha_;
    std::string digest_;
    std::uint64_t size_ = 0;
};

} // namespace glimmet
