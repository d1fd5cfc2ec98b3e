#include "platform/InstanceGuard.h"

#include "platform/posix/Folders.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// One lock file per user: in the user's runtime folder, or in /tmp with the
// user id in its name so that other users' copies are not affected.
std::filesystem::path LockPath(const std::string& name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return std::filesystem::path(runtime) / (name + ".lock");
    return std::filesystem::path("/tmp") / (name + "-" + std::to_string(getuid()) + ".lock");
}

} // namespace

std::string InstanceAddress(const std::string& name) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
        return (std::filesystem::path(runtime) / (name + ".socket")).string();
    // Anyone may make a folder in /tmp: one that is not ours alone is not used.
    const std::filesystem::path folder =
        std::filesystem::path("/tmp") / (name + "-" + std::to_string(getuid()));
    mkdir(folder.c_str(), 0700);
    return posix::PrivateFolder(folder) ? (folder / "socket").string() : std::string{};
}

bool PeerIsThisUser(std::intptr_t socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == geteuid();
}

struct InstanceGuard::Impl {
    int fd = -1;
};

InstanceGuard::InstanceGuard(const std::string& name) : impl_(std::make_unique<Impl>()) {
    const std::filesystem::path path = LockPath(name);
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
