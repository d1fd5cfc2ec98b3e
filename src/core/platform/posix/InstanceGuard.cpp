#include "platform/InstanceGuard.h"

#include "platform/Files.h"
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

using std::filesystem::path;

path RuntimeFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    return runtime && *runtime ? path(runtime) : path();
}

// A place in /tmp carries the user id in its name, so that other users'
// copies are not affected.
path SharedPlace(const std::string& name, const std::string& suffix) {
    return path("/tmp") / (name + "-" + std::to_string(getuid()) + suffix);
}

// Stands in for a place in /tmp that another user took: a folder of the
// user's alone in their cache folder. Empty when none can be had.
path HomePlace(const std::string& name) {
    path cache;
    if (const char* set = std::getenv("XDG_CACHE_HOME"); set && *set == '/')
        cache = set;
    else if (const char* home = std::getenv("HOME"); home && *home == '/')
        cache = path(home) / ".cache";
    else
        return {};
    CreateFolderPath(cache.string());
    const path folder = cache / name;
    mkdir(folder.c_str(), 0700);
    return posix::PrivateFolder(folder) ? folder : path();
}

// The lock file at `file`, made for the user alone when missing; -1 when
// it cannot be opened. In a shared folder also when what is there is not a
// plain file of the user's that nobody else may open: whoever can open it
// can hold the lock.
int OpenOwnLock(const path& file, bool shared) {
    const int fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0 || !shared)
        return fd;
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace

InstancePlace InstanceAddress(const std::string& name) {
    if (const path runtime = RuntimeFolder(); !runtime.empty())
        return {(runtime / (name + ".socket")).string(), {}};
    // Anyone may make a folder in /tmp: one that is not ours alone is not used.
    const path folder = SharedPlace(name, "");
    mkdir(folder.c_str(), 0700);
    if (posix::PrivateFolder(folder))
        return {(folder / "socket").string(), {}};
    const path home = HomePlace(name);
    return {home.empty() ? std::string() : (home / "socket").string(), folder.string()};
}

bool PeerIsThisUser(std::intptr_t socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return getsockopt(static_cast<int>(socket), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
           size == sizeof peer && peer.uid == geteuid();
}

struct InstanceGuard::Impl {
    int fd = -1;
    InstancePlace place;
};

InstanceGuard::InstanceGuard(const std::string& name) : impl_(std::make_unique<Impl>()) {
    const path runtime = RuntimeFolder();
    const path usual = runtime.empty() ? SharedPlace(name, ".lock") : runtime / (name + ".lock");
    impl_->place.path = usual.string();
    int fd = OpenOwnLock(usual, runtime.empty());
    if (fd < 0) {
        const path home = HomePlace(name);
        impl_->place = {home.empty() ? std::string() : (home / "lock").string(), usual.string()};
        if (home.empty() || (fd = OpenOwnLock(home / "lock", false)) < 0)
            return;
    }
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

const InstancePlace& InstanceGuard::Place() const {
    return impl_->place;
}

} // namespace platform
