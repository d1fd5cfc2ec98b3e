#include "platform/Files.h"
#include "platform/common/WorkingFileImpl.h"

#include <cerrno>
#include <cstring>
#include <random>

namespace platform {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

} // namespace

namespace common {

std::string RandomTail() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[6];
    if (!SystemRandom(bytes, sizeof bytes)) {
        std::random_device source;
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(source());
    }
    std::string tail(sizeof bytes, ' ');
    for (std::size_t i = 0; i < tail.size(); ++i)
        tail[i] = kLetters[bytes[i] % (sizeof kLetters - 1)];
    return tail;
}

} // namespace common

void WorkingFile::Impl::Fail(const std::string& reason) {
    if (problem.empty())
        problem = reason;
}

void WorkingFile::Impl::Forget(const std::string& reason) {
    Fail(reason);
    path.clear();
}

void WorkingFile::Impl::Abandon(const std::string& reason) {
    RemoveFile(path);
    Forget(reason);
}

void WorkingFile::Impl::Adopt(std::FILE* opened) {
    file = opened;
    buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::setvbuf(file, buffer.get(), _IOFBF, kBufferSize);
}

bool WorkingFile::Impl::Close() {
    std::FILE* f = file;
    file = nullptr;
    if (!f)
        return false;
    if (std::fflush(f) != 0 || std::ferror(f))
        Fail(std::strerror(errno));
    // A writer that went back over what it wrote made a file shorter than
    // its writes.
    if (const long end = std::fseek(f, 0, SEEK_END) == 0 ? std::ftell(f) : -1; end >= 0)
        written = static_cast<std::uint64_t>(end);
    if (std::fclose(f) != 0)
        Fail(std::strerror(errno));
    if (hashing && problem.empty()) {
        if (sha)
            digest = sha->Hex();
        // A writer that seeks (TIFF, JPEG-2000) has its file read back.
        else if (const auto readBack = digest::FileSizeAndSha256(path))
            digest = readBack->sha256;
    }
    sha.reset();
    return problem.empty();
}

void WorkingFile::Impl::Seeking(long long offset, int origin) {
    const bool stays = offset == 0 && (origin == SEEK_CUR || origin == SEEK_END);
    if (!stays && !(origin == SEEK_SET && offset >= 0 && std::uint64_t(offset) == written))
        sha.reset();
}

WorkingFile::~WorkingFile() {
    if (impl_->file)
        std::fclose(impl_->file);
    if (!impl_->published && !impl_->path.empty())
        RemoveFile(impl_->path);
}

bool WorkingFile::Created() const {
    return !impl_->path.empty();
}

const std::string& WorkingFile::Path() const {
    return impl_->path;
}

const std::string& WorkingFile::Problem() const {
    return impl_->problem;
}

bool WorkingFile::Write(const void* data, std::size_t size) {
    if (!impl_->file || !impl_->problem.empty())
        return false;
    if (size > 0 && std::fwrite(data, 1, size, impl_->file) != size) {
        impl_->Fail(std::strerror(errno));
        return false;
    }
    if (impl_->sha)
        impl_->sha->Add(data, size);
    impl_->written += size;
    return true;
}

void WorkingFile::HashAsWritten() {
    impl_->hashing = true;
    if (impl_->written == 0)
        impl_->sha.emplace();
}

std::uint64_t WorkingFile::Size() const {
    return impl_->written;
}

const std::string& WorkingFile::Digest() const {
    return impl_->digest;
}

bool WorkingFile::Complete() {
    if (impl_->file)
        return impl_->Close();
    return Created() && impl_->problem.empty();
}

WorkingFile::Outcome WorkingFile::Publish(const std::string& target, bool keepExisting) {
    if (!Complete())
        return Outcome::Failed;
    // Replacing takes a link at the target away itself, never what it leads to.
    const MoveResult moved = keepExisting                         ? MoveKeeping(impl_->path, target)
                             : MoveReplacing(impl_->path, target) ? MoveResult::Moved
                                                                  : MoveResult::Failed;
    switch (moved) {
    case MoveResult::Moved:
        impl_->published = true;
        return Outcome::Published;
    case MoveResult::NameTaken:
        return Outcome::NameTaken;
    case MoveResult::Failed:
        break;
    }
    impl_->Fail(common::LastProblem());
    return Outcome::Failed;
}

} // namespace platform
