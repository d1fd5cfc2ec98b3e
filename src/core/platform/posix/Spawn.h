// Owners for what posix_spawn takes, shared by the POSIX platform files.
#pragma once

#include <csignal>
#include <spawn.h>

namespace platform::posix {

// Holds one of posix_spawn's objects from `Init` to `Destroy`.
template <typename T, int (*Init)(T*), int (*Destroy)(T*)> class SpawnObject {
public:
    SpawnObject() { Init(&object_); }
    ~SpawnObject() { Destroy(&object_); }
    SpawnObject(const SpawnObject&) = delete;
    SpawnObject& operator=(const SpawnObject&) = delete;
    T* Get() { return &object_; }

private:
    T object_;
};

using SpawnActions = SpawnObject<posix_spawn_file_actions_t, posix_spawn_file_actions_init,
                                 posix_spawn_file_actions_destroy>;

// `flags` are POSIX_SPAWN_* flags; with POSIX_SPAWN_SETPGROUP the child
// leads a process group of its own. The child gets the usual ending on a
// pipe nobody reads, whatever this program chose for itself.
class SpawnAttributes
    : public SpawnObject<posix_spawnattr_t, posix_spawnattr_init, posix_spawnattr_destroy> {
public:
    explicit SpawnAttributes(short flags) {
        sigset_t usual;
        sigemptyset(&usual);
        sigaddset(&usual, SIGPIPE);
        posix_spawnattr_setsigdefault(Get(), &usual);
        posix_spawnattr_setflags(Get(), static_cast<short>(flags | POSIX_SPAWN_SETSIGDEF));
        if (flags & POSIX_SPAWN_SETPGROUP)
            posix_spawnattr_setpgroup(Get(), 0);
    }
};

} // namespace platform::posix
