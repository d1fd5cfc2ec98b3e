#include "scratch_output.h"

#include "ToolContract.h"
#include "run_limits.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace glimmet {

void failWriting(const std::string& path, int err) {
    failIfFull(path, err);
    throw WriteError("cannot write " + path + ": " + std::strerror(err ? err : EIO));
}

void failIfFull(const std::string& path, int err) {
    if (err == ENOSPC || err == EDQUOT)
        throw ScratchFull("cannot write " + path + ": " + std::strerror(err), std::strerror(err));
}

// The process number keeps apart the working files of two tools at work in
// the same folder, the next page's beside this one's.
std::string workingName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    return path.substr(0, name) + contract::kWorkingPrefix + std::to_string(getpid()) + "-" +
           path.substr(name);
}

ScratchOutput::ScratchOutput(std::string path)
    : path_(std::move(path)), working_(workingName(path_)) {
    const int fd =
        open(working_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        fail();
    stream_ = fdopen(fd, "wb");
    if (!stream_) {
        const int err = errno;
        ::close(fd);
        unlink(working_.c_str());
        failWriting(path_, err);
    }
    tools::budgetFile(working_.c_str());
    // Large writes: with stdio's own 4 KiB buffer a photograph took a
    // thousand system calls. setvbuf takes a size only with a buffer.
    std::setvbuf(stream_, buffer_.get(), _IOFBF, kBufferSize);
}

ScratchOutput::~ScratchOutput() {
    if (stream_) {
        tools::budgetFile(nullptr);
        std::fclose(stream_);
        unlink(working_.c_str());
    }
}

void ScratchOutput::write(const void* data, size_t size) {
    if (size && std::fwrite(data, 1, size, stream_) != size)
        fail();
    if (sha_)
        sha_->Add(data, size);
    size_ += size;
}

void ScratchOutput::close() {
    tools::budgetFile(nullptr);
    FILE* f = stream_;
    stream_ = nullptr;
    bool ok = std::fflush(f) == 0 && !std::ferror(f);
    int err = errno;
    if (std::fclose(f) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(working_.c_str());
        failWriting(path_, err);
    }
    if (sha_)
        digest_ = sha_->Hex();
}

void ScratchOutput::fail() {
    failWriting(path_, errno);
}

} // namespace glimmet
