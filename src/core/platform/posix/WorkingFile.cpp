#include "platform/WorkingFile.h"

#include "platform/Files.h"
#include "platform/common/WorkingFileImpl.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace platform {

WorkingFile::WorkingFile(const std::string& folder, const std::string& namePrefix)
    : impl_(std::make_unique<Impl>()) {
    const std::filesystem::path base(folder);
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        impl_->path = (base / (namePrefix + common::RandomTail())).string();
        // O_EXCL refuses any name that is taken, a link too; nothing is
        // followed.
        fd = open(impl_->path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0) {
        impl_->Forget(std::strerror(errno));
        return;
    }
    if (std::FILE* file = fdopen(fd, "wb")) {
        impl_->Adopt(file);
        return;
    }
    const std::string reason = std::strerror(errno);
    close(fd);
    impl_->Abandon(reason);
}

namespace common {

bool SystemRandom(unsigned char* bytes, std::size_t size) {
    return getentropy(bytes, size) == 0;
}

std::string LastProblem() {
    return std::strerror(errno);
}

} // namespace common

bool WorkingFile::Seek(long long offset, int origin) {
    impl_->Seeking(offset, origin);
    return impl_->file && fseeko(impl_->file, static_cast<off_t>(offset), origin) == 0;
}

long long WorkingFile::Tell() {
    return impl_->file ? static_cast<long long>(ftello(impl_->file)) : -1;
}

} // namespace platform
