// SHA-256 digests of the files a run writes, for its manifest.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace cli {

class Sha256 {
public:
    Sha256();
    void Add(const void* data, std::size_t size);
    // The digest in lower-case hex; the object is spent afterwards.
    std::string Hex();

private:
    // `count` blocks of 64 bytes, with the processor's SHA instructions
    // where it has them.
    void Blocks(const unsigned char* data, std::size_t count);
    void Block(const unsigned char* block);

    std::uint32_t state_[8];
    unsigned char buffer_[64];
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // in bytes
};

// The digest of the file's bytes; nothing when it cannot be read.
std::optional<std::string> FileSha256(const std::string& path);

using FileDigest = std::shared_future<std::optional<std::string>>;

// Hashes files one after another on a thread of its own, while the job
// goes on writing the next ones.
class FileHasher {
public:
    FileHasher();
    // Hashes what is queued still, then ends the thread. Its thread and
    // lock already make it neither copied nor moved.
    ~FileHasher();

    // The digest of the file as it is once its turn comes.
    FileDigest Queue(std::string path);

private:
    void Work();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<std::string, std::promise<std::optional<std::string>>>> queue_;
    bool closing_ = false;
    std::thread worker_; // last, so it starts with everything it uses
};

} // namespace cli
