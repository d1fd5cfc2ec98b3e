// One running copy per user, and the address later starts hand it
// documents through.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// Where one of the running copy's own files is. When the usual place, in
// the shared temporary folder, was not the user's own (made or held by
// another user, or open to others), `refused` names it and `path` is in a
// private folder under the user's home instead. `path` is empty when no
// place private to the user can be had.
struct InstancePlace {
    std::string path;
    std::string refused;
};

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
    // Where the lock is: its file, or on Windows the mutex's name.
    const InstancePlace& Place() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Where the running copy listens for documents handed to it by a later
// start: a local-socket path in the user's runtime folder, else in a folder
// of the user's own under /tmp, else in a private folder under the user's
// home; on Windows a pipe name.
InstancePlace InstanceAddress(const std::string& name);

// True when the process at the other end of the connected local socket
// `socket` runs as this process's user.
bool PeerIsThisUser(std::intptr_t socket);

} // namespace platform
