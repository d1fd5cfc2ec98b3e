#include "platform/ConsoleTool.h"

#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/common/ToolLines.h"
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
std::string HowItEnded(const std::string& program, DWORD code) {
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

// Starts `line` hidden, with its standard streams on the given handles; the
// error of the start when it fails.
DWORD StartHidden(const std::string& resolved, std::string& line, const std::string& workingFolder,
                  HANDLE input, HANDLE output, PROCESS_INFORMATION& started) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = output;
    const BOOL ok =
        CreateProcessA(resolved.empty() ? nullptr : resolved.c_str(), line.data(), nullptr, nullptr,
                       TRUE, CREATE_NO_WINDOW, nullptr,
                       workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &started);
    return ok ? ERROR_SUCCESS : GetLastError();
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

    PROCESS_INFORMATION started{};
    const DWORD error =
        StartHidden(resolved, line, workingFolder, input.Get(), writeEnd.Get(), started);
    // Only the tool, and whatever it starts, holds the write end now.
    writeEnd.Reset();
    input.Reset();
    if (error != ERROR_SUCCESS)
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
    return output + HowItEnded(program, code);
}

} // namespace platform

namespace platform {

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

struct ToolSession::Impl {
    std::string program;
    win32::Handle process;
    win32::Handle output;
    win32::Handle input;
    std::string buffer = std::string(65536, '\0');
    ToolLines lines;
    bool open = true;
    std::string note;

    bool TakeLine(std::string& line) { return lines.Take(line, open); }
    void End(const std::string& why) {
        if (open)
            Drain(output.Get(), buffer, lines.Incoming());
        open = false;
        input.Reset();
        process.Reset();
        note += why;
    }
};

ToolSession::ToolSession(const std::string& program, const std::vector<std::string>& arguments,
                         const std::string& workingFolder)
    : impl_(std::make_unique<Impl>()) {
    Impl& tool = *impl_;
    tool.program = program;
    const std::string resolved = Resolve(program, workingFolder);
    std::string line = CommandLine(resolved.empty() ? program : resolved, arguments);
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, inRead = nullptr, inWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inheritable, 0)) {
        tool.End(StartFailure(program, GetLastError()));
        return;
    }
    tool.output.Reset(outRead);
    win32::Handle toolOutput(outWrite);
    if (!CreatePipe(&inRead, &inWrite, &inheritable, 0)) {
        tool.End(StartFailure(program, GetLastError()));
        return;
    }
    tool.input.Reset(inWrite);
    win32::Handle toolInput(inRead);
    // Only the tool's ends are handed down.
    SetHandleInformation(tool.output.Get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(tool.input.Get(), HANDLE_FLAG_INHERIT, 0);

    PROCESS_INFORMATION started{};
    if (const DWORD error =
            StartHidden(resolved, line, workingFolder, toolInput.Get(), toolOutput.Get(), started);
        error != ERROR_SUCCESS) {
        tool.End(StartFailure(program, error));
        return;
    }
    tool.process.Reset(started.hProcess);
    CloseHandle(started.hThread);
}

ToolSession::~ToolSession() {
    impl_->input.Reset();
    if (impl_->process) {
        TerminateProcess(impl_->process.Get(), 1);
        WaitForSingleObject(impl_->process.Get(), 5000);
    }
}

bool ToolSession::Send(const std::string& text) {
    for (std::size_t sent = 0; sent < text.size();) {
        DWORD n = 0;
        if (!impl_->input ||
            !WriteFile(impl_->input.Get(), text.data() + sent,
                       static_cast<DWORD>(text.size() - sent), &n, nullptr) ||
            n == 0)
            return false;
        sent += n;
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
        if (!tool.process)
            return false;
        if (tool.open)
            tool.open = Drain(tool.output.Get(), tool.buffer, tool.lines.Incoming());
        if (tool.TakeLine(line))
            return true;
        const DWORD waited = WaitForSingleObject(tool.process.Get(), 10);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED) {
            DWORD code = 0;
            GetExitCodeProcess(tool.process.Get(), &code);
            tool.End(HowItEnded(tool.program, code));
        } else if (giveUp && giveUp()) {
            TerminateProcess(tool.process.Get(), 1);
            WaitForSingleObject(tool.process.Get(), 5000);
            tool.End(Quoted(tool.program) + " was ended before it finished\n");
        }
    }
}

const std::string& ToolSession::EndNote() const {
    return impl_->note;
}

} // namespace platform
