// One running copy per user, and the address later starts hand it
// documents through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Holds the system-wide lock named `name` for as long as it lives. Another
// guard with the same name, in this or another process of the same user,
// is refused while this one holds it. The system drops the lock when the
// process ends, however it ends.
class InstanceGuard {
public:
    explicit InstanceGuard(const std::string& name);
    ~InstanceGuard();

    // True when this guard got the lock.
    bool Acquired() const;
    // Gives the lock up early; the guard is then no longer acquired.
    void Release();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Where the running copy listens for documents handed to it by a later
// start: a local-socket path in the user's runtime folder, else in a folder
// of the user's own under /tmp; on Windows a pipe name. Empty when no place
// private to the user can be had.
std::string InstanceAddress(const std::string& name);

// True when the process at the other end of the connected local socket
// `socket` runs as this process's user.
bool PeerIsThisUser(std::intptr_t socket);

} // namespace platform
