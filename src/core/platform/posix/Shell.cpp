#include "platform/platform.h"
#include "platform/posix/Spawn.h"

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/wait.h>

extern char** environ;

namespace platform {

namespace {

struct ShellSeam {
    std::mutex lock;
    ShellOpener opener;
};

ShellSeam& Seam() {
    static ShellSeam seam;
    return seam;
}

// xdg-open picks the user's own program for the file, folder or address.
// It runs in a session of its own behind a shell that leaves at once, so
// nothing is left to reap, and a Ctrl+C or the end of the program does not
// reach the file manager it opened.
void OpenWithDesktop(const std::string& target) {
    posix::SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix::SpawnAttributes attributes(POSIX_SPAWN_SETSID);
    const char* script = "xdg-open \"$1\" >/dev/null 2>&1 &";
    char* const argv[] = {const_cast<char*>("sh"),           const_cast<char*>("-c"),
                          const_cast<char*>(script),         const_cast<char*>("sh"),
                          const_cast<char*>(target.c_str()), nullptr};
    pid_t shell = 0;
    if (posix_spawn(&shell, "/bin/sh", actions.Get(), attributes.Get(), argv, environ) == 0) {
        int status = 0;
        while (waitpid(shell, &status, 0) < 0 && errno == EINTR) {
        }
    }
}

} // namespace

void SetShellOpener(ShellOpener opener) {
    std::lock_guard guard(Seam().lock);
    Seam().opener = std::move(opener);
}

void OpenWithShell(const std::string& target) {
    ShellOpener opener;
    {
        std::lock_guard guard(Seam().lock);
        opener = Seam().opener;
    }
    if (opener)
        opener(target);
    else
        OpenWithDesktop(target);
}

} // namespace platform
