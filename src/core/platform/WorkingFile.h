// A file written under a name of its own until it is whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// A new file in `folder` named `namePrefix` and a short random tail,
// created so that nothing already there (a link planted under the name)
// is ever written through, and written through a large buffer. It is
// removed again unless Publish gives it its final name.
class WorkingFile {
public:
    WorkingFile(const std::string& folder, const std::string& namePrefix);
    ~WorkingFile();

    // False when it could not be made; Problem says why.
    bool Created() const;
    const std::string& Path() const;
    // The system's reason for the first thing that failed; empty so far.
    const std::string& Problem() const;

    // Hashes what is written as it is written, for Digest(); a file that
    // was not written in order is read back once complete.
    void HashAsWritten();

    // As std::fwrite, std::fseek and std::ftell do; a failed write is kept
    // in Problem.
    bool Write(const void* data, std::size_t size);
    bool Seek(long long offset, int origin);
    long long Tell();

    // Flushes and closes the file; false, with Problem, when anything
    // written did not reach the disk.
    bool Complete();
    // Completes the file and names it `target`: replacing what has that
    // name (a link is replaced itself, never followed), or with
    // `keepExisting` only when nothing has it yet. Failed, with Problem.
    enum class Outcome { Published, NameTaken, Failed };
    Outcome Publish(const std::string& target, bool keepExisting);

    // The bytes written so far; once complete, the file's size.
    std::uint64_t Size() const;
    // Once complete, the SHA-256 of the file's bytes in lower-case hex;
    // empty unless HashAsWritten() was asked.
    const std::string& Digest() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
