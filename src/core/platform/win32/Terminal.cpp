#include "platform/Terminal.h"

#include "platform/win32/Handle.h"

namespace platform {

namespace {

std::atomic<bool>* runningFlag = nullptr;
std::atomic<bool>* nowFlag = nullptr;

BOOL WINAPI OnControl(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        return FALSE;
    if (runningFlag && nowFlag) {
        if (!runningFlag->load())
            nowFlag->store(true);
        runningFlag->store(false);
    }
    return TRUE;
}

} // namespace

bool ErrorIsTerminal() {
    return GetFileType(GetStdHandle(STD_ERROR_HANDLE)) == FILE_TYPE_CHAR;
}

int ErrorTerminalWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return 0;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

bool ReadHiddenLine(const std::string& prompt, std::string& line) {
    win32::Handle in(CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    win32::Handle out(CreateFileA("CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!in || !out)
        return false;
    DWORD mode = 0;
    const bool hidden = GetConsoleMode(in.Get(), &mode) != FALSE;
    if (hidden)
        SetConsoleMode(in.Get(), mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT));
    DWORD written = 0;
    WriteFile(out.Get(), prompt.data(), static_cast<DWORD>(prompt.size()), &written, nullptr);
    line.clear();
    bool ended = false;
    for (;;) {
        char c = 0;
        DWORD got = 0;
        if (!ReadFile(in.Get(), &c, 1, &got, nullptr) || got == 0) {
            ended = true;
            break;
        }
        if (c == '\n')
            break;
        if (c != '\r')
            line.push_back(c);
    }
    if (hidden)
        SetConsoleMode(in.Get(), mode);
    WriteFile(out.Get(), "\r\n", 2, &written, nullptr);
    return !ended || !line.empty();
}

// Ctrl+C reaches every program of the console, so none is ever sent on.
void StopOnSignals(std::atomic<bool>* running, std::atomic<bool>* now, std::atomic<bool>*) {
    const bool caught = running && now;
    runningFlag = caught ? running : nullptr;
    nowFlag = caught ? now : nullptr;
    SetConsoleCtrlHandler(OnControl, caught ? TRUE : FALSE);
}

// A program started without a standard handle gets none, and files it opens
// never take one's place: there is nothing to fill.
void OpenClosedStandardStreams() {}

// Windows has no signal for a pipe nobody reads: the write just fails.
void IgnoreBrokenPipes() {}

} // namespace platform
