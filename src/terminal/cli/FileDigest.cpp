#include "cli/FileDigest.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

namespace cli {

namespace {

// A slice short enough that the job, waiting on its tool, hears of the
// next page without a noticeable delay.
constexpr std::size_t kSpareSlice = 512 * 1024;

} // namespace

SlicedFileDigest::SlicedFileDigest(const std::string& path)
    : file_(std::fopen(path.c_str(), "rb"), &std::fclose), failed_(!file_) {}

bool SlicedFileDigest::Step(std::size_t bytes) {
    if (failed_)
        return true;
    unsigned char buffer[65536];
    for (std::size_t taken = 0; taken < bytes;) {
        const std::size_t n =
            std::fread(buffer, 1, std::min(sizeof buffer, bytes - taken), file_.get());
        if (n == 0) {
            failed_ = std::ferror(file_.get()) != 0;
            return true;
        }
        digest_.Add(buffer, n);
        size_ += n;
        taken += n;
    }
    return false;
}

std::optional<std::string> SlicedFileDigest::Result() {
    if (failed_)
        return std::nullopt;
    return digest_.Hex();
}

std::optional<std::string> FileSha256(const std::string& path) {
    const std::optional<SizedDigest> digest = FileSizeAndSha256(path);
    return digest ? std::optional<std::string>(digest->sha256) : std::nullopt;
}

std::optional<SizedDigest> FileSizeAndSha256(const std::string& path) {
    SlicedFileDigest digest(path);
    while (!digest.Step(SIZE_MAX)) {
    }
    const std::optional<std::string> sha256 = digest.Result();
    if (!sha256)
        return std::nullopt;
    return SizedDigest{digest.Size(), *sha256};
}

FileDigest FileHasher::Queue(std::string path) {
    std::promise<std::optional<std::string>> digest;
    FileDigest result = digest.get_future().share();
    const std::lock_guard lock(mutex_);
    queue_.push_back({std::move(path), std::move(digest)});
    return result;
}

bool FileHasher::HashSome() {
    const std::lock_guard lock(mutex_);
    if (queue_.empty())
        return false;
    if (!begun_)
        begun_.emplace(queue_.front().path);
    if (begun_->Step(kSpareSlice)) {
        queue_.front().digest.set_value(begun_->Result());
        queue_.pop_front();
        begun_.reset();
    }
    return true;
}

void FileHasher::HashQueued() {
    // The file begun in the job's spare moments first: it is the queue's front.
    while (begun_)
        HashSome();
    // No more threads than files: most files were hashed as they were
    // written, and a thread costs more to start than a small file to hash.
    std::size_t files = 0;
    {
        const std::lock_guard lock(mutex_);
        files = queue_.size();
    }
    const std::size_t processors =
        std::min<std::size_t>({std::max(1u, std::thread::hardware_concurrency()), 4, files});
    std::vector<std::thread> helpers;
    for (std::size_t i = 1; i < processors; ++i)
        helpers.emplace_back([this] { Drain(); });
    Drain();
    for (std::thread& helper : helpers)
        helper.join();
}

void FileHasher::Drain() {
    for (;;) {
        Queued next;
        {
            const std::lock_guard lock(mutex_);
            if (queue_.empty())
                return;
            next = std::move(queue_.front());
            queue_.pop_front();
        }
        next.digest.set_value(FileSha256(next.path));
    }
}

} // namespace cli
