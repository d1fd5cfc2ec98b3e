// A stand-in console tool for the runner and guard tests. The first argument
// picks what it does; without one it leaves a mark beside itself, so that a
// test can see that the shell started it.
#include "platform/Environment.h"
#include "platform/InstanceGuard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>
// The shell's header builds on the system's.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

namespace {

void Write(DWORD which, const std::string& text) {
    DWORD written = 0;
    WriteFile(GetStdHandle(which), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Out(const std::string& text) {
    Write(STD_OUTPUT_HANDLE, text);
}

std::string Narrow(const wchar_t* wide) {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(n > 0 ? n : 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text.data(), n, nullptr, nullptr);
    text.resize(n > 0 ? n - 1 : 0);
    return text;
}

// Both parsers a tool may use: the C runtime's argv and the shell's.
void PrintArguments(int argc, char** argv) {
    std::string text = "crt " + std::to_string(argc - 2) + "\n";
    for (int i = 2; i < argc; ++i)
        text += "[" + std::string(argv[i]) + "]\n";
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    text += "shell " + std::to_string(count - 2) + "\n";
    for (int i = 2; i < count; ++i)
        text += "[" + Narrow(wide[i]) + "]\n";
    LocalFree(wide);
    Out(text);
}

int HoldGuard(const char* name, const char* ready, const char* quit) {
    platform::InstanceGuard guard(name);
    if (!guard.Acquired())
        return 2;
    HANDLE readyEvent = OpenEventA(EVENT_MODIFY_STATE, FALSE, ready);
    HANDLE quitEvent = OpenEventA(SYNCHRONIZE, FALSE, quit);
    if (!readyEvent || !quitEvent)
        return 3;
    SetEvent(readyEvent);
    WaitForSingleObject(quitEvent, 30000);
    // Ends without letting go of the guard, as a crash would.
    ExitProcess(0);
}

int StartSleeper(const char* self, const char* ms) {
    std::string line = std::string("\"") + self + "\" sleep " + ms;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &started))
        return 2;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    Out("parent done\n");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    if (argc < 2) {
        const std::string mark = platform::ExecutablePath() + ".ran";
        if (FILE* f = std::fopen(mark.c_str(), "wb"))
            std::fclose(f);
        return 0;
    }
    const std::string mode = argv[1];
    if (mode == "args") {
        PrintArguments(argc, argv);
    } else if (mode == "print" && argc > 2) {
        static const char digits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
        const long n = std::atol(argv[2]);
        std::string text;
        for (long i = 0; i < n; ++i)
            text += digits[i % 36];
        // Many small writes, as a tool printing line by line makes them.
        for (std::size_t at = 0; at < text.size(); at += 100)
            Out(text.substr(at, 100));
    } else if (mode == "mixed") {
        Out("out 1\n");
        Write(STD_ERROR_HANDLE, "err 1\n");
        Out("out 2\n");
        Write(STD_ERROR_HANDLE, "err 2\n");
    } else if (mode == "nul") {
        Out(std::string("a\0b\n", 4));
    } else if (mode == "silent") {
    } else if (mode == "exit" && argc > 2) {
        ExitProcess(static_cast<UINT>(std::strtoul(argv[2], nullptr, 0)));
    } else if (mode == "crash") {
        SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
        Out("before\n");
        volatile int* nowhere = nullptr;
        *nowhere = 1;
    } else if (mode == "sleep" && argc > 2) {
        Out("sleeping\n");
        Sleep(static_cast<DWORD>(std::atol(argv[2])));
        Out("woke\n");
    } else if (mode == "spawn-sleeper" && argc > 2) {
        return StartSleeper(argv[0], argv[2]);
    } else if (mode == "read-input") {
        char buffer[256];
        DWORD got = 0;
        DWORD total = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) &&
               got > 0)
            total += got;
        Out("input " + std::to_string(total) + "\n");
    } else if (mode == "echo-lines") {
        // Each line read comes back after "got ", as soon as it is whole.
        std::string line;
        char c = 0;
        DWORD got = 0;
        while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &got, nullptr) && got == 1)
            if (c == '\n') {
                Out("got " + line + "\n");
                line.clear();
            } else {
                line += c;
            }
    } else if (mode == "cwd") {
        char folder[MAX_PATH];
        GetCurrentDirectoryA(MAX_PATH, folder);
        Out(std::string(folder) + "\n");
    } else if (mode == "try-guard" && argc > 2) {
        platform::InstanceGuard guard(argv[2]);
        Out(guard.Acquired() ? "acquired\n" : "refused\n");
    } else if (mode == "hold-guard" && argc > 4) {
        return HoldGuard(argv[2], argv[3], argv[4]);
    } else {
        Write(STD_ERROR_HANDLE, "unknown mode\n");
        return 1;
    }
    return 0;
}
