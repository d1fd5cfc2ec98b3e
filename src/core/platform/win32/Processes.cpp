#include "platform/platform.h"
#include "platform/win32/Handle.h"

#include <charconv>

namespace platform {

namespace {

constexpr int kBase = 36;

std::string InBase(unsigned long long value) {
    char digits[32];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, value, kBase);
    return std::string(digits, end);
}

bool FromBase(const std::string& text, unsigned long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, kBase);
    return !text.empty() && ec == std::errc() && ptr == end;
}

// When the process started, in hundredths of a second; 0 when unknown.
unsigned long long StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    const unsigned long long ticks =
        (static_cast<unsigned long long>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
    return ticks / 100000;
}

} // namespace

std::string ProcessMark() {
    return InBase(GetCurrentProcessId()) + "-" + InBase(StartTime(GetCurrentProcess()));
}

bool ProcessEnded(const std::string& mark) {
    const std::size_t dash = mark.find('-');
    unsigned long long pid = 0, start = 0;
    if (dash == std::string::npos || !FromBase(mark.substr(0, dash), pid) ||
        !FromBase(mark.substr(dash + 1), start) || pid > 0xffffffffull)
        return false;
    win32::Handle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(pid)));
    if (!process)
        return GetLastError() == ERROR_INVALID_PARAMETER; // no such process
    DWORD code = 0;
    if (GetExitCodeProcess(process.Get(), &code) && code != STILL_ACTIVE)
        return true;
    const unsigned long long now = StartTime(process.Get());
    return now != 0 && now != start;
}

} // namespace platform
