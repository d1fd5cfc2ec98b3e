// Owners for what posix_spawn takes, shared by the POSIX platform files.
#pragma once

#include <csignal>
#include <spawn.h>

namespace platform::posix {

// `flags` are POSIX_SPAWN_* flags; with POSIX_SPAWN_SETPGROUP the child
// leads a process group of its own. The child gets the usual ending on a
// pipe nobody reads, whatever this program chose for itself.
class SpawnAttributes {
public:
    explicit SpawnAttributes(short flags) {
        posix_spawnattr_init(&attributes_);
        sigset_t usual;
        sigemptyset(&usual);
        sigaddset(&usual, SIGPIPE);
        posix_spawnattr_setsigdefault(&attributes_, &usual);
        posix_spawnattr_setflags(&attributes_, static_cast<short>(flags | POSIX_SPAWN_SETSIGDEF));
        if (flags & POSIX_SPAWN_SETPGROUP)
            posix_spawnattr_setpgroup(&attributes_, 0);
    }
    ~SpawnAttributes() { posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    posix_spawnattr_t* Get() { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

class SpawnActions {
public:
    SpawnActions() { posix_spawn_file_actions_init(&actions_); }
    ~SpawnActions() { posix_spawn_file_actions_destroy(&actions_); }
    SpawnActions(const SpawnActions&) = delete;
    SpawnActions& operator=(const SpawnActions&) = delete;
    posix_spawn_file_actions_t* Get() { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

} // namespace platform::posix
