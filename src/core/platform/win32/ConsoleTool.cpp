#include "platform/ConsoleTool.h"

#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/win32/Handle.h"

#include <algorithm>
#include <cstdio>

namespace platform {

namespace win32 {

std::string SystemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = n && text ? std::string(text, n) : std::string{};
    if (text)
        LocalFree(text);
    // One line, like the other notes the runner adds.
    std::replace(message.begin(), message.end(), '\r', ' ');
    std::replace(message.begin(), message.end(), '\n', ' ');
    while (!message.empty() && (message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    if (message.empty())
        message = "system error " + std::to_string(error);
    return message;
}

} // namespace win32

namespace {

using win32::SystemMessage;

std::string Quoted(const std::string& program) {
    return "'" + program + "'";
}

std::string StartFailure(const std::string& program, DWORD error) {
    return Quoted(program) + " could not be started: " + SystemMessage(error) + "\n";
}

// Appends one argument so that the parser of the C runtime (and
// CommandLineToArgvW, which follows the same rules) gives it back unchanged:
// backslashes are literal except before a quote, where each one and the
// quote itself are escaped.
void AppendArgument(std::string& line, const std::string& argument) {
    line += ' ';
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    // The closing quote must not be escaped by trailing backslashes.
    line.append(2 * backslashes, '\\');
    line += '"';
}

bool IsAbsolute(const std::string& path) {
    return (!path.empty() && (path[0] == '\\' || path[0] == '/')) ||
           (path.size() >= 2 && path[1] == ':');
}

// A tool named without its folder is looked for in the working folder
// first, as on POSIX; the system's own search (the program's folder, the
// system folders, PATH) finds the rest.
std::string Resolve(const std::string& program, const std::string& workingFolder) {
    if (IsAbsolute(program) || workingFolder.empty())
        return {};
    std::string candidate = workingFolder;
    if (candidate.back() != '\\' && candidate.back() != '/')
        candidate += '\\';
    candidate += program;
    if (FileExists(candidate))
        return candidate;
    const std::size_t slash = program.find_last_of("\\/");
    const std::size_t dot = program.find_last_of('.');
    if ((dot == std::string::npos || (slash != std::string::npos && dot < slash)) &&
        FileExists(candidate + ".exe"))
        return candidate + ".exe";
    return {};
}

std::string CommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    // The runtime takes the program name up to the next quote, without
    // escapes; a file name cannot hold a quote anyway.
    std::string line;
    if (program.empty() || program.find_first_of(" \t") != std::string::npos)
        line = "\"" + program + "\"";
    else
        line = program;
    for (const std::string& argument : arguments)
        AppendArgument(line, argument);
    return line;
}

// Exit codes in the system's error range mean the tool was brought down by
// an exception; a tool's own exit codes never look like that.
std::string EndNote(const std::string& program, DWORD code) {
    if ((code & 0xF0000000u) != 0xC0000000u)
        return {};
    const char* name = "unhandled exception";
    switch (code) {
    case 0xC0000005u:
        name = "access violation";
        break;
    case 0xC000001Du:
        name = "illegal instruction";
        break;
    case 0xC0000094u:
        name = "integer division by zero";
        break;
    case 0xC00000FDu:
        name = "stack overflow";
        break;
    case 0xC0000409u:
        name = "stopped by a failed run-time check";
        break;
    case 0xC000013Au:
        name = "interrupted";
        break;
    case 0xC0000135u:
        name = "a DLL it needs was not found";
        break;
    default:
        break;
    }
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08lX", static_cast<unsigned long>(code));
    return Quoted(program) + " was ended by exception " + hex + " (" + name + ")\n";
}

// Reads what the pipe holds without waiting; false once every writer has
// gone and nothing is left.
bool Drain(HANDLE pipe, std::string& buffer, std::string& output) {
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return false;
        if (available == 0)
            return true;
        DWORD got = 0;
        const DWORD wanted = std::min(available, static_cast<DWORD>(buffer.size()));
        if (!ReadFile(pipe, buffer.data(), wanted, &got, nullptr))
            return false;
        output.append(buffer.data(), got);
    }
}

} // namespace

std::string RunConsoleTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder, std::chrono::milliseconds timeout,
                           const GiveUp& giveUp) {
    const std::string resolved = Resolve(program, workingFolder);
    std::string line = CommandLine(resolved.empty() ? program : resolved, arguments);

    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readHandle = nullptr;
    HANDLE writeHandle = nullptr;
    if (!CreatePipe(&readHandle, &writeHandle, &inheritable, 0))
        return StartFailure(program, GetLastError());
    win32::Handle readEnd(readHandle);
    win32::Handle writeEnd(writeHandle);
    // Only the tool's side is handed down.
    SetHandleInformation(readEnd.Get(), HANDLE_FLAG_INHERIT, 0);
    // A tool that asks for input reads the end of it at once instead of
    // waiting on a console nobody sees.
    win32::Handle input(CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    &inheritable, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input.Get();
    startup.hStdOutput = writeEnd.Get();
    startup.hStdError = writeEnd.Get();
    PROCESS_INFORMATION started{};
    const BOOL ok =
        CreateProcessA(resolved.empty() ? nullptr : resolved.c_str(), line.data(), nullptr, nullptr,
                       TRUE, CREATE_NO_WINDOW, nullptr,
                       workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started);
    const DWORD error = GetLastError();
    // Only the tool, and whatever it starts, holds the write end now.
    writeEnd.Reset();
    input.Reset();
    if (!ok)
        return StartFailure(program, error);

    win32::Handle process(started.hProcess);
    win32::Handle thread(started.hThread);

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    std::string buffer(65536, '\0');
    std::string output;
    bool open = true;
    for (;;) {
        if (open)
            open = Drain(readEnd.Get(), buffer, output);
        DWORD wait = open ? 10 : giveUp ? 50 : INFINITE;
        if (timeout.count() > 0) {
            const ULONGLONG now = GetTickCount64();
            const ULONGLONG left = now < deadline ? deadline - now : 0;
            wait = static_cast<DWORD>(std::min<ULONGLONG>(wait, left));
        }
        const DWORD waited = WaitForSingleObject(process.Get(), wait);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED)
            break;
        if (giveUp && giveUp()) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
            Drain(readEnd.Get(), buffer, output);
            return output + Quoted(program) + " was ended before it finished\n";
        }
        if (timeout.count() > 0 && GetTickCount64() >= deadline) {
            TerminateProcess(process.Get(), 1);
            WaitForSingleObject(process.Get(), 5000);
            Drain(readEnd.Get(), buffer, output);
            return output + Quoted(program) + " did not finish within " +
                   std::to_string(timeout.count() / 1000) + kTimeLimitEnded + "\n";
        }
    }
    // What the tool wrote just before it ended is still in the pipe. The end
    // of the tool, not of the stream, ends the call: a process it left behind,
    // or another call's tool that inherited this pipe, does not hold it up.
    if (open)
        Drain(readEnd.Get(), buffer, output);
    DWORD code = 0;
    if (!GetExitCodeProcess(process.Get(), &code))
        return output;
    return output + EndNote(program, code);
}

} // namespace platform

namespace platform {

// Here the tool starts only at its go: nothing is gained, and nothing runs
// ahead of its turn.
struct PreparedTool::Impl {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder;
};

PreparedTool::PreparedTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder)
    : impl_(std::make_unique<Impl>(Impl{program, arguments, workingFolder})) {}

PreparedTool::~PreparedTool() = default;

std::string PreparedTool::Run(std::chrono::milliseconds timeout, const GiveUp& giveUp) {
    return RunConsoleTool(impl_->program, impl_->arguments, impl_->workingFolder, timeout, giveUp);
}

struct ChildProcess::Impl {
    win32::Handle process;
    std::string problem;
};

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::vector<std::string>& environment)
    : impl_(std::make_unique<Impl>()) {
    std::string line = CommandLine(program, arguments);
    // The child inherits this process's environment with the entries set
    // for the time of the start; the program itself runs one thread here.
    std::vector<std::pair<std::string, std::string>> saved;
    for (const std::string& entry : environment) {
        const std::size_t eq = entry.find('=');
        const std::string name = entry.substr(0, eq);
        std::string old(32768, '\0');
        const DWORD n = GetEnvironmentVariableA(name.c_str(), old.data(), 32768);
        old.resize(n < 32768 ? n : 0);
        saved.emplace_back(name, n ? old : std::string{});
        SetEnvironmentVariableA(name.c_str(),
                                eq == std::string::npos ? "" : entry.substr(eq + 1).c_str());
    }
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const BOOL ok = CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                   nullptr, &startup, &started);
    const DWORD error = GetLastError();
    for (const auto& [name, value] : saved)
        SetEnvironmentVariableA(name.c_str(), value.empty() ? nullptr : value.c_str());
    if (!ok) {
        impl_->problem = SystemMessage(error);
        return;
    }
    impl_->process.Reset(started.hProcess);
    CloseHandle(started.hThread);
}

ChildProcess::~ChildProcess() {
    if (impl_->process)
        WaitForSingleObject(impl_->process.Get(), INFINITE);
}

const std::string& ChildProcess::StartProblem() const {
    return impl_->problem;
}

bool ChildProcess::Ended(int& code) {
    if (!impl_->process)
        return true;
    if (WaitForSingleObject(impl_->process.Get(), 0) != WAIT_OBJECT_0)
        return false;
    DWORD exitCode = 1;
    GetExitCodeProcess(impl_->process.Get(), &exitCode);
    code = static_cast<int>(exitCode);
    impl_->process.Reset();
    return true;
}

void ChildProcess::Terminate() {
    if (impl_->process)
        TerminateProcess(impl_->process.Get(), 130);
}

void ChildProcess::Interrupt() {}

} // namespace platform

namespace platform {

// Here a tool runs one page at a time: it is started when its page is
// awaited and its page ends with it.
bool ToolsReportPages() {
    return false;
}

struct PageTool::Impl {
    std::string program;
    std::vector<std::string> arguments;
    std::string workingFolder;
    bool ran = false;
};

PageTool::PageTool(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& workingFolder)
    : impl_(std::make_unique<Impl>(Impl{program, arguments, workingFolder})) {}

PageTool::~PageTool() = default;

void PageTool::Go() {}

void PageTool::GoAhead() {}

bool PageTool::NamedFiles() const {
    return true;
}

bool PageTool::AwaitPage(std::string& output, const GiveUp& giveUp, const Spare& spare) {
    output.clear();
    if (impl_->ran)
        return false;
    impl_->ran = true;
    // The tool is asked after every few milliseconds of waiting.
    const GiveUp asked = [&] {
        if (spare)
            spare();
        return giveUp && giveUp();
    };
    output = RunConsoleTool(impl_->program, impl_->arguments, impl_->workingFolder,
                            std::chrono::milliseconds{0}, asked);
    return false;
}

} // namespace platform
