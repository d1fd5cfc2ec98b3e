#include "platform/platform.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { Reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// The tool runs in a process group of its own: Ctrl+C on the terminal goes
// to our group only, and the caller decides to stop once the page is done.
class SpawnAttributes {
public:
    SpawnAttributes() {
        posix_spawnattr_init(&attributes_);
        posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETPGROUP);
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

std::string Quoted(const std::string& program) {
    return "'" + program + "'";
}

// Reads what is there without waiting; false at the end of the stream.
bool Drain(int fd, std::string& output) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

std::string EndNote(const std::string& program, int status) {
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = strsignal(sig);
        return Quoted(program) + " was ended by signal " + std::to_string(sig) + " (" +
               (name ? name : "unknown") + ")\n";
    }
    return {};
}

} // namespace

std::string RunConsoleTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder, std::chrono::milliseconds timeout,
                           const std::atomic<bool>* abandon) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return Quoted(program) + " could not be started: " + std::strerror(errno) + "\n";
    Fd readEnd(ends[0]);
    Fd writeEnd(ends[1]);

    SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 2);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str());

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    SpawnAttributes attributes;
    pid_t pid = 0;
    const int spawned =
        posix_spawn(&pid, program.c_str(), actions.Get(), attributes.Get(), argv.data(), environ);
    writeEnd.Reset();
    if (spawned != 0)
        return Quoted(program) + " could not be started: " + std::strerror(spawned) + "\n";

    fcntl(readEnd.Get(), F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string output;
    int status = 0;
    bool exited = false;
    bool open = true;
    while (!exited) {
        if (open) {
            pollfd p{readEnd.Get(), POLLIN, 0};
            poll(&p, 1, 100);
            open = Drain(readEnd.Get(), output);
        } else if (timeout.count() == 0 && !abandon) {
            // The output is closed, so the tool is on its way out.
            if (waitpid(pid, &status, 0) == pid)
                break;
            if (errno != EINTR)
                break;
            continue;
        } else {
            usleep(1000);
        }
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            exited = true;
        } else if (done < 0 && errno != EINTR) {
            break;
        } else if (abandon && *abandon) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            Drain(readEnd.Get(), output);
            return output + Quoted(program) + " was ended before it finished\n";
        } else if (timeout.count() > 0 && std::chrono::steady_clock::now() >= deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            Drain(readEnd.Get(), output);
            return output + Quoted(program) + " did not finish within " +
                   std::to_string(timeout.count() / 1000) + " seconds and was ended\n";
        }
    }
    // What the tool wrote just before it ended is still in the pipe; a
    // grandchild that keeps the pipe open does not hold the call up.
    if (open)
        Drain(readEnd.Get(), output);
    return output + EndNote(program, status);
}

} // namespace platform
