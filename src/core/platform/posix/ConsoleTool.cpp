#include "platform/ConsoleTool.h"

#include "platform/Processes.h"
#include "platform/common/ToolLines.h"
#include "platform/posix/Spawn.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
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
    Fd(Fd&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = other.fd_;
            other.fd_ = -1;
        }
        return *this;
    }
    int Get() const { return fd_; }
    void Reset() {
        if (fd_ >= 0)
            close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

std::string Quoted(const std::string& program) {
    return "'" + program + "'";
}

std::string CannotStart(const std::string& program, int error) {
    return Quoted(program) + " could not be started: " + std::strerror(error) + "\n";
}

// Reads what `fd` holds onto `output`; false once it is closed. With
// `once`, a read that leaves room in the buffer is taken as all there is
// for now, which spares the call that would say so.
bool Drain(int fd, std::string& output, bool once = false) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            output.append(buffer, static_cast<std::size_t>(n));
            if (once && static_cast<std::size_t>(n) < sizeof buffer)
                return true;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
}

std::string HowItEnded(const std::string& program, int status) {
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = strsignal(sig);
        return Quoted(program) + " was ended by signal " + std::to_string(sig) + " (" +
               (name ? name : "unknown") + ")\n";
    }
    return {};
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

// A started tool: its process and the read end of its output.
struct Started {
    pid_t pid = 0;
    Fd output;
    std::string failure; // why it did not start, as a line of output
};

// Starts `program` with its output joined into one pipe, and its input
// from `input`, or else from nowhere.
void Start(Started& started, const std::string& program, const std::vector<std::string>& arguments,
           const std::string& workingFolder, int input = -1) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        started.failure = CannotStart(program, errno);
        return;
    }
    started.output = Fd(ends[0]);
    Fd writeEnd(ends[1]);

    posix::SpawnActions actions;
    if (input >= 0)
        posix_spawn_file_actions_adddup2(actions.Get(), input, 0);
    else
        posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 2);
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str());

    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv = Pointers(args);

    // The tool runs in a process group of its own: Ctrl+C on the terminal goes
    // to our group only, and the caller decides to stop once the page is done.
    posix::SpawnAttributes attributes(POSIX_SPAWN_SETPGROUP);
    const int spawned = posix_spawn(&started.pid, program.c_str(), actions.Get(), attributes.Get(),
                                    argv.data(), environ);
    if (spawned != 0) {
        started.pid = 0;
        started.failure = CannotStart(program, spawned);
    }
}

// Ends a tool and whatever it started: they share its process group.
void EndGroup(pid_t pid, int& status) {
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
}

// Collects the output of a started tool until it ends.
std::string Collect(Started& started, const std::string& program, std::chrono::milliseconds timeout,
                    const GiveUp& giveUp) {
    if (!started.failure.empty())
        return started.failure;
    const pid_t pid = started.pid;
    started.pid = 0;
    const int readEnd = started.output.Get();
    fcntl(readEnd, F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::string output;
    int status = 0;
    bool exited = false;
    bool open = true;
    while (!exited) {
        if (open) {
            pollfd p{readEnd, POLLIN, 0};
            poll(&p, 1, 100);
            open = Drain(readEnd, output);
        } else if (timeout.count() == 0 && !giveUp) {
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
        } else if (giveUp && giveUp()) {
            EndGroup(pid, status);
            Drain(readEnd, output);
            return output + Quoted(program) + " was ended before it finished\n";
        } else if (timeout.count() > 0 && std::chrono::steady_clock::now() >= deadline) {
            EndGroup(pid, status);
            Drain(readEnd, output);
            return output + Quoted(program) + " did not finish within " +
                   std::to_string(timeout.count() / 1000) + kTimeLimitEnded + "\n";
        }
    }
    // What the tool wrote just before it ended is still in the pipe; a
    // grandchild that keeps the pipe open does not hold the call up.
    if (open)
        Drain(readEnd, output);
    return output + HowItEnded(program, status);
}

} // namespace

std::string RunConsoleTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder, std::chrono::milliseconds timeout,
                           const GiveUp& giveUp) {
    Started started;
    Start(started, program, arguments, workingFolder);
    return Collect(started, program, timeout, giveUp);
}

struct ChildProcess::Impl {
    pid_t pid = 0;
    std::string problem;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment)
    : impl_(std::make_unique<Impl>()) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry)
        env.emplace_back(*entry);
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> argvPointers = Pointers(argv);
    std::vector<char*> envPointers = Pointers(env);
    const int spawned = posix_spawn(&impl_->pid, program.c_str(), nullptr, nullptr,
                                    argvPointers.data(), envPointers.data());
    if (spawned != 0) {
        impl_->pid = 0;
        impl_->problem = std::strerror(spawned);
    }
}

ChildProcess::~ChildProcess() {
    int status = 0;
    if (impl_->pid > 0)
        while (waitpid(impl_->pid, &status, 0) < 0 && errno == EINTR) {
        }
}

const std::string& ChildProcess::StartProblem() const {
    return impl_->problem;
}

bool ChildProcess::Ended(int& code) {
    if (impl_->pid <= 0)
        return true;
    int status = 0;
    const pid_t done = waitpid(impl_->pid, &status, WNOHANG);
    if (done == 0 || (done < 0 && errno == EINTR))
        return false;
    impl_->pid = 0;
    code = done < 0 ? 1 : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    return true;
}

void ChildProcess::Terminate() {
    if (impl_->pid > 0)
        kill(impl_->pid, SIGTERM);
}

void ChildProcess::Interrupt() {
    if (impl_->pid > 0)
        kill(impl_->pid, SIGINT);
}

struct ToolSession::Impl {
    std::string program;
    Started started;
    Fd input;
    ToolLines lines;
    bool open = true; // the output may bring more
    std::string note;

    bool TakeLine(std::string& line) { return lines.Take(line, open); }
    void Ended(int status) {
        started.pid = 0;
        input.Reset();
        note += HowItEnded(program, status);
    }
};

ToolSession::ToolSession(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder)
    : impl_(std::make_unique<Impl>()) {
    impl_->program = program;
    // A socket rather than a pipe: a write to a tool that is gone fails
    // instead of raising SIGPIPE.
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
        impl_->note = CannotStart(program, errno);
        impl_->open = false;
        return;
    }
    impl_->input = Fd(ends[0]);
    Fd toolInput(ends[1]);
    Start(impl_->started, program, arguments, workingFolder, toolInput.Get());
    if (!impl_->started.failure.empty()) {
        impl_->note = impl_->started.failure;
        impl_->open = false;
        return;
    }
    fcntl(impl_->started.output.Get(), F_SETFL, O_NONBLOCK);
}

ToolSession::~ToolSession() {
    impl_->input.Reset();
    if (impl_->started.pid > 0) {
        int status = 0;
        EndGroup(impl_->started.pid, status);
    }
}

bool ToolSession::Send(const std::string& text) {
    for (std::size_t sent = 0; sent < text.size();) {
        if (impl_->input.Get() < 0)
            return false;
        const ssize_t n =
            send(impl_->input.Get(), text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

void ToolSession::EndInput() {
    impl_->input.Reset();
}

bool ToolSession::NextLine(std::string& line, const GiveUp& giveUp) {
    Impl& tool = *impl_;
    for (;;) {
        if (tool.TakeLine(line))
            return true;
        if (tool.started.pid <= 0)
            return false;
        if (tool.open) {
            pollfd ready{tool.started.output.Get(), POLLIN, 0};
            if (poll(&ready, 1, 100) > 0)
                tool.open = Drain(ready.fd, tool.lines.Incoming(), true);
            if (tool.TakeLine(line))
                return true;
        } else {
            usleep(1000);
        }
        int status = 0;
        const pid_t done = waitpid(tool.started.pid, &status, WNOHANG);
        if (done == tool.started.pid) {
            // What it printed just before it ended is still in the pipe; a
            // process it left behind that keeps the pipe open does not
            // hold the session up.
            if (tool.open)
                Drain(tool.started.output.Get(), tool.lines.Incoming());
            tool.open = false;
            tool.Ended(status);
        } else if (done < 0 && errno != EINTR) {
            tool.open = false;
            tool.started.pid = 0;
        } else if (giveUp && giveUp()) {
            EndGroup(tool.started.pid, status);
            Drain(tool.started.output.Get(), tool.lines.Incoming());
            tool.open = false;
            tool.started.pid = 0;
            tool.input.Reset();
            tool.note += Quoted(tool.program) + " was ended before it finished\n";
        }
    }
}

const std::string& ToolSession::EndNote() const {
    return impl_->note;
}

} // namespace platform
