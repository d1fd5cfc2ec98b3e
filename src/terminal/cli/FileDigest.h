// SHA-256 digests of the files a run writes, for its manifest.
#pragma once

#include "Sha256.h"

#include <cstdint>
#include <cstdio>
#include <deque>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace cli {

// The digest of the file's bytes; nothing when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);

// A file's size and digest, taken in one reading.
struct SizedDigest {
    std::uint64_t size = 0;
    std::string sha256;
};
std::optional<SizedDigest> FileSizeAndSha256(const std::string& path);

// One file hashed a slice at a time.
class SlicedFileDigest {
public:
    explicit SlicedFileDigest(const std::string& path);
    // Hashes up to `bytes` more of the file; true once it is all hashed, or
    // cannot be read.
    bool Step(std::size_t bytes);
    // Once Step said true: the digest, or nothing when the file could not
    // be read.
    std::optional<std::string> Result();
    // The bytes hashed so far.
    std::uint64_t Size() const { return size_; }

private:
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
    digest::Sha256 digest_;
    std::uint64_t size_ = 0;
    bool failed_ = false;
};

using FileDigest = std::shared_future<std::optional<std::string>>;

// A digest known already.
FileDigest KnownDigest(std::string hex);

// Hashes the files a run wrote, in the job's spare moments and then, for
// what is left once the job is done, on every processor. While the job
// runs, the processors are its own and its tool's: a thread hashing beside
// them slowed the job by more than the hashing itself cost.
class FileHasher {
public:
    // The digest of the file as it is when it is hashed.
    FileDigest Queue(std::string path);
    // Hashes a slice of the next file queued, on the calling thread; false
    // when there is nothing to hash.
    bool HashSome();
    // Hashes every file queued and returns once all are done. Call it
    // before reading a digest, which would wait for ever otherwise.
    void HashQueued();

private:
    struct Queued {
        std::string path;
        std::promise<std::optional<std::string>> digest;
    };
    // Takes files off the queue and hashes them until none is left.
    void Drain();

    std::mutex mutex_;
    std::deque<Queued> queue_;
    // The front of the queue, begun by HashSome().
    std::optional<SlicedFileDigest> begun_;
};

} // namespace cli
