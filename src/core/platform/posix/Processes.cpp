#include "platform/Processes.h"

#include "platform/common/ProcessMarkText.h"

#include <cerrno>
#include <charconv>
#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace platform {

namespace {

// Field 22 of /proc/PID/stat, the start in clock ticks after boot; empty
// when it cannot be read. A process that has ended but not been reaped
// counts as gone.
std::string StartTime(const std::string& pid, bool& gone) {
    gone = false;
    std::ifstream in("/proc/" + pid + "/stat");
    std::string line;
    if (!in || !std::getline(in, line))
        return {};
    // The command name in parentheses may hold blanks; the fields follow
    // its closing one.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return {};
    std::istringstream fields(line.substr(close + 1));
    std::string field;
    for (int number = 3; number <= 22 && fields >> field; ++number)
        if (number == 3 && (field == "Z" || field == "X"))
            gone = true;
    return fields ? field : std::string{};
}

} // namespace

std::string ProcessMark() {
    bool gone = false;
    unsigned long long start = 0;
    const std::string ticks = StartTime("self", gone);
    std::from_chars(ticks.data(), ticks.data() + ticks.size(), start);
    return common::WriteMark(static_cast<unsigned long long>(getpid()), start);
}

bool ProcessEnded(const std::string& mark) {
    unsigned long long pid = 0, start = 0;
    if (!common::ReadMark(mark, pid, start) || pid == 0 ||
        pid > static_cast<unsigned long long>(INT32_MAX))
        return false;
    bool gone = false;
    // Without /proc nothing can be told.
    if (StartTime("self", gone).empty())
        return false;
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
        return true;
    const std::string ticks = StartTime(std::to_string(pid), gone);
    if (ticks.empty())
        return false; // not ours to see into
    unsigned long long now = 0;
    std::from_chars(ticks.data(), ticks.data() + ticks.size(), now);
    // Another process has the number since, or this one is ending.
    return now != start || gone;
}

} // namespace platform
