#include "platform/ConsoleTool.h"

#include "ToolContract.h"
#include "platform/Processes.h"
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

std::string EndNote(const std::string& program, int status) {
    if (WIFSIGNALED(status)) {
        const int sig = WTERMSIG(status);
        const char* name = strsignal(sig);
        return Quoted(program) + " was ended by signal " + std::to_string(sig) + " (" +
               (name ? name : "unknown") + ")\n";
    }
    return {};
}

bool StartsWith(const char* entry, const char* variable) {
    const std::size_t length = std::strlen(variable);
    return std::strncmp(entry, variable, length) == 0 && entry[length] == '=';
}

// The environment without the tools' descriptor variables, plus `extra`.
std::vector<std::string> Environment(const std::vector<std::string>& extra) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        if (!StartsWith(*entry, contract::kGoVariable) &&
            !StartsWith(*entry, contract::kPageVariable))
            entries.emplace_back(*entry);
    entries.insert(entries.end(), extra.begin(), extra.end());
    return entries;
}

std::string Variable(const char* name, int descriptor) {
    return std::string(name) + "=" + std::to_string(descriptor);
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

// Starts `program` with its output joined into one pipe. `goEnd`, when
// given, becomes the tool's descriptor contract::kGoDescriptor, and
// `pageEnd` its contract::kPageDescriptor, each named in the environment.
void Start(Started& started, const std::string& program, const std::vector<std::string>& arguments,
           const std::string& workingFolder, int goEnd, int pageEnd = -1) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        started.failure = CannotStart(program, errno);
        return;
    }
    started.output = Fd(ends[0]);
    Fd writeEnd(ends[1]);

    posix::SpawnActions actions;
    posix_spawn_file_actions_addopen(actions.Get(), 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 1);
    posix_spawn_file_actions_adddup2(actions.Get(), writeEnd.Get(), 2);
    std::vector<std::string> variables;
    if (goEnd >= 0) {
        posix_spawn_file_actions_adddup2(actions.Get(), goEnd, contract::kGoDescriptor);
        variables.push_back(Variable(contract::kGoVariable, contract::kGoDescriptor));
    }
    if (pageEnd >= 0) {
        posix_spawn_file_actions_adddup2(actions.Get(), pageEnd, contract::kPageDescriptor);
        variables.push_back(Variable(contract::kPageVariable, contract::kPageDescriptor));
    }
    if (!workingFolder.empty())
        posix_spawn_file_actions_addchdir_np(actions.Get(), workingFolder.c_str());

    std::vector<std::string> args{program};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env = Environment(variables);
    std::vector<char*> argv = Pointers(args);
    std::vector<char*> envp = Pointers(env);

    // The tool runs in a process group of its own: Ctrl+C on the terminal goes
    // to our group only, and the caller decides to stop once the page is done.
    posix::SpawnAttributes attributes(POSIX_SPAWN_SETPGROUP);
    const int spawned = posix_spawn(&started.pid, program.c_str(), actions.Get(), attributes.Get(),
                                    argv.data(), envp.data());
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
    return output + EndNote(program, status);
}

} // namespace

std::string RunConsoleTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder, std::chrono::milliseconds timeout,
                           const GiveUp& giveUp) {
    Started started;
    Start(started, program, arguments, workingFolder, -1);
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
    std::vector<std::string> env = Environment(std::vector<std::string>{});
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

struct PreparedTool::Impl {
    std::string program;
    Started started;
    Fd go; // closing it gives the go
};

PreparedTool::PreparedTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder)
    : impl_(std::make_unique<Impl>()) {
    impl_->program = program;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        impl_->started.failure = CannotStart(program, errno);
        return;
    }
    Fd goRead(ends[0]);
    impl_->go = Fd(ends[1]);
    Start(impl_->started, program, arguments, workingFolder, goRead.Get());
}

PreparedTool::~PreparedTool() {
    // Never given the go: it has written nothing yet, and never will.
    if (impl_->started.pid > 0) {
        int status = 0;
        EndGroup(impl_->started.pid, status);
    }
}

std::string PreparedTool::Run(std::chrono::milliseconds timeout, const GiveUp& giveUp) {
    impl_->go.Reset();
    return Collect(impl_->started, impl_->program, timeout, giveUp);
}

} // namespace platform

namespace platform {

bool ToolsReportPages() {
    return true;
}

struct PageTool::Impl {
    std::string program;
    Started started;
    Fd go;                 // a byte a page lets its files take their names; the end stops the tool
    Fd pages;              // the tool's "page done" lines
    int goes = 0;          // go bytes given but not yet sent
    bool goWanted = false; // the tool waits for one
    bool hadFiles = true;  // the page taken last named files, or may have
    std::string marks;
    std::size_t markAt = 0;    // where the lines not yet taken begin
    std::string printed;       // output not yet handed out
    std::size_t handedOut = 0; // bytes of output handed out before it
    bool pagesOpen = true;
    bool outputOpen = true;
    bool namedFiles = true;

    void Read() {
        if (outputOpen)
            outputOpen = Drain(started.output.Get(), printed);
        if (pagesOpen)
            pagesOpen = Drain(pages.Get(), marks);
    }
    // Reads the descriptors poll found ready, and only those.
    void ReadReady(const pollfd* ready, nfds_t count) {
        for (nfds_t i = 0; i < count; ++i) {
            if (ready[i].revents == 0)
                continue;
            if (ready[i].fd == started.output.Get())
                outputOpen = Drain(ready[i].fd, printed, true);
            else
                pagesOpen = Drain(ready[i].fd, marks, true);
        }
    }
    // The next whole line of `marks`, if there is one. Lines are taken by
    // moving `markAt`, so that a burst of thousands costs no copying.
    bool NextMark(std::string& line) {
        const std::size_t end = marks.find('\n', markAt);
        if (end == std::string::npos) {
            marks.erase(0, markAt);
            markAt = 0;
            return false;
        }
        line.assign(marks, markAt, end - markAt);
        markAt = end + 1;
        return true;
    }
    // Hands out the page of the first whole line of `marks`, if there is
    // one: "PAGE FILES PRINTED", PRINTED counting every byte the tool
    // printed up to the end of the page.
    bool TakePage(std::string& output) {
        std::string line;
        do {
            if (!NextMark(line))
                return false;
            if (line == contract::kGoWanted)
                goWanted = true;
        } while (line == contract::kGoWanted);
        unsigned long long page = 0, files = 0, upTo = 0;
        const int fields = std::sscanf(line.c_str(), "%llu %llu %llu", &page, &files, &upTo);
        namedFiles = fields < 2 || files > 0;
        hadFiles = namedFiles;
        // The page's lines were printed before it was said done.
        while (fields == 3 && outputOpen && handedOut + printed.size() < upTo) {
            pollfd ready{started.output.Get(), POLLIN, 0};
            poll(&ready, 1, 100);
            outputOpen = Drain(started.output.Get(), printed);
        }
        const std::size_t length = fields == 3 && upTo >= handedOut
                                       ? std::min<std::size_t>(upTo - handedOut, printed.size())
                                       : printed.size();
        output.assign(printed, 0, length);
        printed.erase(0, length);
        handedOut += length;
        return true;
    }
    // The go bytes go out before the program waits, and together: after a
    // page with files, as the tool will soon want them; after a page
    // without, only once the tool asks. A long run of pages without files
    // then costs no call at all.
    void SendGoes() {
        if (goes == 0 || go.Get() < 0 || !(goWanted || hadFiles))
            return;
        const std::string bytes(static_cast<std::size_t>(goes), '\1');
        goes = 0;
        goWanted = false;
        // Every byte: a tool left one short would wait for it for ever.
        for (std::size_t sent = 0; sent < bytes.size();) {
            const ssize_t n =
                send(go.Get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the tool is gone
            sent += static_cast<std::size_t>(n);
        }
    }
    bool Ended(std::string& output, const std::string& note) {
        Read();
        output = printed + note;
        printed.clear();
        namedFiles = true;
        started.pid = 0;
        return false;
    }
};

PageTool::PageTool(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingFolder)
    : impl_(std::make_unique<Impl>()) {
    impl_->program = program;
    int go[2];
    int pages[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, go) != 0) {
        impl_->started.failure = CannotStart(program, errno);
        return;
    }
    impl_->go = Fd(go[0]);
    Fd toolGo(go[1]);
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pages) != 0) {
        impl_->started.failure = CannotStart(program, errno);
        return;
    }
    impl_->pages = Fd(pages[0]);
    Fd toolPages(pages[1]);
    Start(impl_->started, program, arguments, workingFolder, toolGo.Get(), toolPages.Get());
    if (impl_->started.failure.empty()) {
        fcntl(impl_->started.output.Get(), F_SETFL, O_NONBLOCK);
        fcntl(impl_->pages.Get(), F_SETFL, O_NONBLOCK);
    }
}

PageTool::~PageTool() {
    impl_->go.Reset();
    if (impl_->started.pid > 0) {
        int status = 0;
        EndGroup(impl_->started.pid, status);
    }
}

void PageTool::Go() {
    ++impl_->goes;
}

void PageTool::GoAhead() {
    ++impl_->goes;
    impl_->SendGoes();
}

bool PageTool::NamedFiles() const {
    return impl_->namedFiles;
}

bool PageTool::AwaitPage(std::string& output, const GiveUp& giveUp, const Spare& spare) {
    Impl& tool = *impl_;
    output.clear();
    tool.namedFiles = true;
    if (!tool.started.failure.empty()) {
        output.swap(tool.started.failure);
        return false;
    }
    const pid_t pid = tool.started.pid;
    if (pid <= 0) {
        // Ended after it had said so much: what it said is still to be taken.
        tool.Read();
        if (tool.TakePage(output))
            return true;
        return tool.Ended(output, Quoted(tool.program) + " ended before the page\n");
    }
    for (;;) {
        if (tool.TakePage(output))
            return true;
        tool.SendGoes();
        // Work the caller had put off keeps it from sleeping, not from
        // hearing of the tool.
        const int wait = spare && spare() ? 0 : 100;
        pollfd ready[2];
        nfds_t count = 0;
        if (tool.outputOpen)
            ready[count++] = {tool.started.output.Get(), POLLIN, 0};
        if (tool.pagesOpen)
            ready[count++] = {tool.pages.Get(), POLLIN, 0};
        if (count > 0 && poll(ready, count, wait) > 0)
            tool.ReadReady(ready, count);
        else if (count == 0 && wait > 0)
            usleep(1000);
        if (tool.TakePage(output))
            return true;
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            // It may have said its last page was done just before it ended.
            tool.Read();
            tool.started.pid = 0;
            if (tool.TakePage(output))
                return true;
            return tool.Ended(output, EndNote(tool.program, status));
        }
        if (done < 0 && errno != EINTR)
            return tool.Ended(output, {});
        if (giveUp && giveUp()) {
            EndGroup(pid, status);
            return tool.Ended(output, Quoted(tool.program) + " was ended before it finished\n");
        }
    }
}

} // namespace platform
