#include "platform/platform.h"

#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

namespace {

// One lock file per user: in the user's runtime folder, or in /tmp with the
// user id in its name so that other users' copies are not affected.
std::string LockPath(const std::string& name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::string(runtime) + "/" + name + ".lock";
    return "/tmp/" + name + "-" + std::to_string(getuid()) + ".lock";
}

} // namespace

struct InstanceGuard::Impl {
    int fd = -1;
};

InstanceGuard::InstanceGuard(const std::string& name) : impl_(std::make_unique<Impl>()) {
    const std::string path = LockPath(name);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return;
    // flock belongs to the open file, so a second guard refuses even inside
    // the same process, and the system drops it when the process dies.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return;
    }
    impl_->fd = fd;
}

InstanceGuard::~InstanceGuard() {
    Release();
}

bool InstanceGuard::Acquired() const {
    return impl_->fd >= 0;
}

void InstanceGuard::Release() {
    if (impl_->fd >= 0) {
        close(impl_->fd);
        impl_->fd = -1;
    }
}

} // namespace platform
