#include "platform/Processes.h"

#include "platform/common/ProcessMarkText.h"
#include "platform/win32/Handle.h"

namespace platform {

namespace {

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
    return common::WriteMark(GetCurrentProcessId(), StartTime(GetCurrentProcess()));
}

bool ProcessEnded(const std::string& mark) {
    unsigned long long pid = 0, start = 0;
    if (!common::ReadMark(mark, pid, start) || pid > 0xffffffffull)
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
