#include "platform/Terminal.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

namespace {

std::atomic<bool>* runningFlag = nullptr;
std::atomic<bool>* nowFlag = nullptr;
std::atomic<bool>* sentFlag = nullptr;

// Only lock-free stores: this runs inside a signal handler.
void OnSignal(int signal, siginfo_t* info, void*) {
    if (!runningFlag || !nowFlag)
        return;
    if (signal != SIGINT || !runningFlag->load())
        nowFlag->store(true);
    // The terminal's Ctrl+C comes from the kernel; kill() from a program
    // gives a code of zero or below.
    if (signal == SIGINT && sentFlag && info && info->si_code <= 0)
        sentFlag->store(true);
    runningFlag->store(false);
}

} // namespace

bool ErrorIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

int ErrorTerminalWidth() {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

bool ReadHiddenLine(const std::string& prompt, std::string& line) {
    const int tty = open("/dev/tty", O_RDWR | O_CLOEXEC);
    if (tty < 0)
        return false;
    termios saved{};
    const bool hidden = tcgetattr(tty, &saved) == 0;
    if (hidden) {
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(tty, TCSAFLUSH, &quiet);
    }
    if (write(tty, prompt.data(), prompt.size()) < 0) {
        // The prompt is a courtesy; reading goes on.
    }
    line.clear();
    bool ended = false;
    char c = 0;
    for (;;) {
        const ssize_t n = read(tty, &c, 1);
        if (n <= 0) {
            ended = true;
            break;
        }
        if (c == '\n' || c == '\r')
            break;
        line.push_back(c);
    }
    if (hidden)
        tcsetattr(tty, TCSAFLUSH, &saved);
    if (write(tty, "\n", 1) < 0) {
        // Nothing to do about a terminal that went away.
    }
    close(tty);
    return !ended || !line.empty();
}

void StopOnSignals(std::atomic<bool>* running, std::atomic<bool>* now, std::atomic<bool>* sent) {
    const bool caught = running && now;
    runningFlag = caught ? running : nullptr;
    nowFlag = caught ? now : nullptr;
    sentFlag = caught ? sent : nullptr;
    struct sigaction action {};
    if (caught) {
        action.sa_sigaction = OnSignal;
        action.sa_flags = SA_SIGINFO;
    } else {
        action.sa_handler = SIG_DFL;
    }
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
}

void OpenClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // The lowest free number is `fd` itself: those below are open.
        const int opened = open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd)
            close(opened);
    }
}

void IgnoreBrokenPipes() {
    struct sigaction action {};
    action.sa_handler = SIG_IGN;
    sigemptyset(&action.sa_mask);
    sigaction(SIGPIPE, &action, nullptr);
}

} // namespace platform
