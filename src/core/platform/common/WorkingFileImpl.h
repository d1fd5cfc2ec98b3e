// What a working file holds on every system. Each system opens it, moves
// it and seeks in it its own way; the rest is shared.
#pragma once

#include "Sha256.h"
#include "platform/WorkingFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace platform {

struct WorkingFile::Impl {
    std::string path;
    std::string problem;
    std::FILE* file = nullptr;
    // stdio's default of 4 KiB would cost a system call every few rows.
    std::unique_ptr<char[]> buffer;
    bool published = false;
    bool hashing = false;
    // What is written, in order; gone once a seek moves elsewhere, and
    // the file is read back instead.
    std::optional<digest::Sha256> sha;
    std::uint64_t written = 0; // bytes, all told
    std::string digest;

    // Keeps the first reason only: later failures follow from it.
    void Fail(const std::string& reason);
    // The file could not be had: no path, and why.
    void Forget(const std::string& reason);
    // The file was made but cannot be written: it goes again.
    void Abandon(const std::string& reason);
    // Takes the freshly opened `opened` over and gives it the large buffer.
    void Adopt(std::FILE* opened);
    // Flushes and closes; false, with the reason, when not everything
    // written reached the file.
    bool Close();
    // A seek to `offset` from `origin` (as std::fseek's): the digest taken
    // as written holds only while writing goes on at the end.
    void Seeking(long long offset, int origin);
};

namespace common {

// A short random tail for a new file's name.
std::string RandomTail();

// Fills `size` bytes from the system's random source in one call; false
// where there is none, and a std::random_device is made for the name.
bool SystemRandom(unsigned char* bytes, std::size_t size);

// The system's reason for the call that just failed.
std::string LastProblem();

} // namespace common

} // namespace platform
