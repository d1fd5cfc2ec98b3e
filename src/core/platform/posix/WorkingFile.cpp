#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string RandomTail() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::string tail(6, ' ');
    for (char& c : tail)
        c = kLetters[source() % (sizeof kLetters - 1)];
    return tail;
}

} // namespace

struct WorkingFile::Impl {
    std::string path;
    std::string problem;
    std::FILE* file = nullptr;
    // stdio's default of 4 KiB would cost a system call every few rows.
    std::unique_ptr<char[]> buffer;
    bool published = false;

    void Fail(int error) {
        if (problem.empty())
            problem = std::strerror(error);
    }
    // Flushes and closes; false, with the reason, when not everything
    // written reached the file.
    bool Close() {
        std::FILE* f = file;
        file = nullptr;
        if (!f)
            return false;
        if (std::fflush(f) != 0 || std::ferror(f))
            Fail(errno);
        if (std::fclose(f) != 0)
            Fail(errno);
        return problem.empty();
    }
};

WorkingFile::WorkingFile(const std::string& folder, const std::string& namePrefix)
    : impl_(std::make_unique<Impl>()) {
    std::string base = folder;
    if (!base.empty() && base.back() != '/')
        base += '/';
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        impl_->path = base + namePrefix + RandomTail();
        // O_EXCL refuses any name that is taken, a link too; nothing is
        // followed.
        fd = open(impl_->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        impl_->Fail(errno);
        impl_->path.clear();
        return;
    }
    impl_->file = fdopen(fd, "wb");
    if (!impl_->file) {
        impl_->Fail(errno);
        close(fd);
        unlink(impl_->path.c_str());
        impl_->path.clear();
        return;
    }
    impl_->buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::setvbuf(impl_->file, impl_->buffer.get(), _IOFBF, kBufferSize);
}

WorkingFile::~WorkingFile() {
    if (impl_->file)
        std::fclose(impl_->file);
    if (!impl_->published && !impl_->path.empty())
        unlink(impl_->path.c_str());
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
        impl_->Fail(errno);
        return false;
    }
    return true;
}

bool WorkingFile::Seek(long long offset, int origin) {
    return impl_->file && fseeko(impl_->file, static_cast<off_t>(offset), origin) == 0;
}

long long WorkingFile::Tell() {
    return impl_->file ? static_cast<long long>(ftello(impl_->file)) : -1;
}

bool WorkingFile::Complete() {
    if (impl_->file)
        return impl_->Close();
    return Created() && impl_->problem.empty();
}

WorkingFile::Outcome WorkingFile::Publish(const std::string& target, bool keepExisting) {
    if (!Complete())
        return Outcome::Failed;
    if (!keepExisting) {
        // rename replaces a link at the target itself.
        if (rename(impl_->path.c_str(), target.c_str()) != 0) {
            impl_->Fail(errno);
            return Outcome::Failed;
        }
        impl_->published = true;
        return Outcome::Published;
    }
    switch (MoveKeeping(impl_->path, target)) {
    case MoveResult::Moved:
        impl_->published = true;
        return Outcome::Published;
    case MoveResult::NameTaken:
        return Outcome::NameTaken;
    case MoveResult::Failed:
        break;
    }
    impl_->Fail(errno);
    return Outcome::Failed;
}

} // namespace platform
