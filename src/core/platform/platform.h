// The operating-system layer. Everything Arvenzo needs from the system goes
// through here, in 8-bit text and plain types, so that the rest of the
// program compiles unchanged on Windows and on POSIX systems.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// The folder separator of this system: "\" on Windows, "/" elsewhere.
char PathSeparator();

// --- single-instance guard -------------------------------------------------

// Holds the system-wide lock named `name` for as long as it lives. Another
// guard with the same name, in this or another process of the same user,
// is refused while this one holds it. The system drops the lock when the
// process ends, however it ends.
class InstanceGuard {
public:
    explicit InstanceGuard(const std::string& name);
    ~InstanceGuard();
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;

    // True when this guard got the lock.
    bool Acquired() const;
    // Gives the lock up early; the guard is then no longer acquired.
    void Release();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// --- install record --------------------------------------------------------

// Reads the string value `valueName` of the machine-wide key `keyPath`
// (for instance "\Software\Tessaly\Arvenzo"). Empty when the key or the
// value is missing, unreadable or not a string; never raises.
std::string ReadMachineString(const std::string& keyPath, const std::string& valueName);

// The same value, telling the cases apart: no key, a key without the value,
// a string, or a value that cannot be read as one (another type, or a read
// that fails), whose text is then empty.
struct MachineValue {
    enum class Kind { NoKey, Missing, String, Unreadable };
    Kind kind = Kind::NoKey;
    std::string text;
};
MachineValue ReadMachineValue(const std::string& keyPath, const std::string& valueName);

#ifndef _WIN32
// Where install records are looked for, first to last: the folders of
// XDG_CONFIG_DIRS (else /etc/xdg), then the configuration folder of the
// prefix the program was built for.
std::vector<std::string> InstallRecordFolders();
#endif

// --- environment -----------------------------------------------------------

// The TEMP folder as the system names it, without changing a trailing
// separator. On Windows the TEMP variable (empty when unset); on POSIX the
// first of TEMP, XDG_RUNTIME_DIR, TMPDIR that is set, else "/tmp".
std::string TempFolder();

// `path` made absolute against the current folder.
std::string AbsolutePath(const std::string& path);

// The full path of the running executable.
std::string ExecutablePath();

// --- file system -----------------------------------------------------------

bool FileExists(const std::string& path);   // an ordinary file (or a link to one)
bool FolderExists(const std::string& path); // a folder (or a link to one)

// Creates one folder level, private to the user where the system allows it.
bool CreateFolder(const std::string& path);

// The names (not paths) of the ordinary files in `folder` whose names match
// the wildcard `pattern` ("*" and "?"; "*.*" matches every name). Hidden and
// system files, folders and links are left out. Sorted by name.
std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern);

// Deletes one file; a link is removed itself, never what it points to.
bool RemoveFile(const std::string& path);

// Moves `from` to `to`, replacing a file already there.
bool MoveReplacing(const std::string& from, const std::string& to);

// Moves `from` to `to` only when nothing has that name yet; checked and
// moved in one step, so a file that appears meanwhile is never replaced.
enum class MoveResult { Moved, NameTaken, Failed };
MoveResult MoveKeeping(const std::string& from, const std::string& to);

// Creates `path` and every missing folder above it, with the permissions a
// new folder of the user's usually gets. Empty when the folder is there
// afterwards, else the system's reason ("Permission denied").
std::string CreateFolderPath(const std::string& path);

// Empty when a new file can be created and written in `folder` (tried with
// a hidden file that is removed at once), else the system's reason.
std::string WriteProblem(const std::string& folder);

// A file's bytes mapped into memory for reading, for as long as it lives;
// empty when the file cannot be opened or mapped, or holds nothing. The
// file must not shrink meanwhile: the program maps only files of its own
// scratch folder, whose writers have ended.
class MappedFile {
public:
    explicit MappedFile(const std::string& path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }
    // Tells the system that the bytes before `offset` are done with, so they
    // need not stay in memory; they must not be read again.
    void Release(std::size_t offset);

private:
    const unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The scratch folder `folder` (no final separator) if it is the user's
// alone: made when missing, and used when it is a real folder, not a link,
// owned by the user and closed to everyone else. Otherwise a new folder of
// the user's own beside it, named after it with a suffix of its own, so a
// folder another user made or planted there is never written into. Empty
// when neither can be had. On Windows TEMP is per user: `folder` itself,
// made when missing.
std::string OwnScratchFolder(const std::string& folder);

// Creates a new folder of the user's own inside the TEMP folder, with a
// name of its own, for one run; empty when that fails. RemoveFolder takes
// away an empty folder.
std::string CreatePrivateFolder(const std::string& namePrefix);
bool RemoveFolder(const std::string& path);

// --- terminal ----------------------------------------------------------------

// True when standard error goes to a terminal.
bool ErrorIsTerminal();

// The width in columns of the terminal on standard error; 0 when unknown.
int ErrorTerminalWidth();

// Reads one line from the terminal with echo off, after showing `prompt`
// on standard error; false when there is no terminal or input ended.
bool ReadHiddenLine(const std::string& prompt, std::string& line);

// Until the process ends, an interrupt (Ctrl+C) stores false in `*running`
// instead of ending the program. A second interrupt, or on POSIX a request
// to end (SIGTERM, SIGHUP), stores false in `*running` and true in `*now`,
// so the program can end at once and still clean up. Nulls restore the
// usual endings.
void StopOnSignals(std::atomic<bool>* running, std::atomic<bool>* now);

// --- shell -----------------------------------------------------------------

// Hands a file, folder or URL to the desktop shell with the verb "open".
// The outcome is not examined.
void OpenWithShell(const std::string& target);

// Replaces what OpenWithShell does (tests record the targets instead of
// starting programs). An empty function restores the real shell.
using ShellOpener = std::function<void(const std::string&)>;
void SetShellOpener(ShellOpener opener);

// --- console tools ---------------------------------------------------------

// Asked every few milliseconds while a console tool runs; true ends the
// tool, and on POSIX every process it started, at once.
using GiveUp = std::function<bool()>;

// Runs `program` with `arguments` (each reaching the program as one argument,
// whatever characters it holds), hidden, in `workingFolder`, and returns
// everything it printed, standard output and standard error joined in the
// order they arrived. Never raises: a program that cannot be started, or
// that crashes or is killed, adds one line naming it to the output. A
// positive `timeout` ends a program still running after it, and says so in
// the output; so does `giveUp` answering true.
std::string RunConsoleTool(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingFolder,
                           std::chrono::milliseconds timeout = std::chrono::milliseconds{0},
                           const GiveUp& giveUp = {});

// A console tool started ahead of its turn. The environment variable
// contract::kGoVariable names the descriptor the tool is to wait on: it gets
// ready (opens its input, say), reads that descriptor until it ends, and
// only then does its work. Run closes the descriptor and then works as
// RunConsoleTool does. A tool never given the go is ended when the object
// goes, before it has done anything. A tool that ignores the variable just
// runs at once, so prepare only tools that honour it. On Windows the tool is
// started by Run.

// A console tool that works through a range of pages and says as each one
// is done (see contract::kPageVariable), so that every page stays a unit of
// its own: its output, its files, its end. Where tools cannot say so
// (ToolsReportPages() false, on Windows) the caller runs one a page and the
// tool simply ends after it.
bool ToolsReportPages();

class PageTool {
public:
    PageTool(const std::string& program, const std::vector<std::string>& arguments,
             const std::string& workingFolder);
    // Ends the tool and every process it started, if it still runs.
    ~PageTool();
    PageTool(const PageTool&) = delete;
    PageTool& operator=(const PageTool&) = delete;

    // Lets the tool give its next page's files their names.
    void Go();
    // Waits until the tool says its page is done (true) or ends without
    // saying so (false). `output` receives what it printed about the page,
    // with the lines RunConsoleTool adds when it cannot start, is ended by
    // a signal, or is ended because `giveUp` answered true. Once it returned
    // false the tool is gone.
    bool AwaitPage(std::string& output, const GiveUp& giveUp = {});
    // False when the page just done named no file, so there is none of its
    // own to look for; true when that is not known.
    bool NamedFiles() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A program run beside this one, sharing its terminal, input and output:
// a terminal's Ctrl+C reaches it too. `environment` entries ("NAME=value")
// are added to this process's environment for it.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment);
    // Waits for the program if it still runs.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Empty when it started, else the system's reason.
    const std::string& StartProblem() const;
    // True once it has ended, with its exit code (128 + the signal's number
    // when a signal ended it); never waits.
    bool Ended(int& code);
    // Asks it to end (SIGTERM; on Windows it is ended at once).
    void Terminate();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class PreparedTool {
public:
    PreparedTool(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& workingFolder);
    ~PreparedTool();
    PreparedTool(const PreparedTool&) = delete;
    PreparedTool& operator=(const PreparedTool&) = delete;

    // Once only.
    std::string Run(std::chrono::milliseconds timeout = std::chrono::milliseconds{0},
                    const GiveUp& giveUp = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
