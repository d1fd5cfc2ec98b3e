#include "platform/common/DesktopOpener.h"
#include "platform/posix/Spawn.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

// How long the program waits to hear that xdg-open failed. A desktop's own
// opener hands the target on and leaves within this; one that is still
// running after it has found a program and runs it.
constexpr int kVerdictWaitMs = 1500;

// Reads the exit status the watching shell writes; -1 while none came in
// time, which counts as opened.
int ReadVerdict(int fd) {
    pollfd ready{fd, POLLIN, 0};
    int waited = 0;
    while ((waited = poll(&ready, 1, kVerdictWaitMs)) < 0 && errno == EINTR) {
    }
    if (waited <= 0)
        return -1;
    char text[16] = {};
    ssize_t got = 0;
    while ((got = read(fd, text, sizeof text - 1)) < 0 && errno == EINTR) {
    }
    return got > 0 ? std::atoi(text) : -1;
}

} // namespace

namespace common {

// xdg-open picks the user's own program for the file, folder or address.
// It runs in a session of its own behind a shell that leaves at once, so
// nothing is left to reap, and a Ctrl+C or the end of the program does not
// reach the file manager it opened. The shell in between writes xdg-open's
// exit status to a pipe, so a missing or failing opener is seen.
bool OpenWithDesktop(const std::string& target) {
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return false;
    posix::SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), pipeEnds[1], 3);
    posix::SpawnAttributes attributes(POSIX_SPAWN_SETSID);
    const char* script = "(xdg-open \"$1\" 3>&- >/dev/null 2>&1; echo $? >&3) &";
    char* const argv[] = {const_cast<char*>("sh"),           const_cast<char*>("-c"),
                          const_cast<char*>(script),         const_cast<char*>("sh"),
                          const_cast<char*>(target.c_str()), nullptr};
    pid_t shell = 0;
    const bool started =
        posix_spawn(&shell, "/bin/sh", actions.Get(), attributes.Get(), argv, environ) == 0;
    close(pipeEnds[1]);
    if (started) {
        int status = 0;
        while (waitpid(shell, &status, 0) < 0 && errno == EINTR) {
        }
    }
    const int verdict = started ? ReadVerdict(pipeEnds[0]) : 1;
    // A late verdict finds the pipe closed; the watching shell then ends.
    close(pipeEnds[0]);
    return verdict <= 0;
}

} // namespace common

} // namespace platform
