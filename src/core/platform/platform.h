// The operating-system layer. Everything Arvenzo needs from the system goes
// through here, in 8-bit text and plain types, so that the rest of the
// program compiles unchanged on Windows and on POSIX systems.
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
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

// Where the running copy listens for documents handed to it by a later
// start: a local-socket path in the user's runtime folder, else in a folder
// of the user's own under /tmp; on Windows a pipe name. Empty when no place
// private to the user can be had.
std::string InstanceAddress(const std::string& name);

// True when the process at the other end of the connected local socket
// `socket` runs as this process's user.
bool PeerIsThisUser(std::intptr_t socket);

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
// first of TEMP, XDG_RUNTIME_DIR, TMPDIR that is set, else "/tmp", made
// absolute against the current folder.
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

// Creates a new folder of the user's own inside the TEMP folder, named
// `namePrefix` and a random tail, for one run. Empty when that fails, with
// the system's reason in `problem`. RemoveFolder takes away an empty
// folder.
std::string CreatePrivateFolder(const std::string& namePrefix, std::string& problem);
bool RemoveFolder(const std::string& path);

// Whether `path` leads to something, and else why not, with the system's
// reason ("File name too long").
struct PathState {
    enum class Kind { Reached, Missing, TooLong, Refused } kind = Kind::Reached;
    std::string reason;
};
PathState LookUpPath(const std::string& path);

// The names in `folder` that begin with `prefix`, hidden ones too, of the
// user's own: real folders (never a link) when `folders`, else files and
// links.
std::vector<std::string> OwnEntries(const std::string& folder, const std::string& prefix,
                                    bool folders);

// Removes the folder `path` with the files and links in it; a link is
// removed itself, never followed. A folder inside keeps it from going.
bool RemoveFolderWithFiles(const std::string& path);

// A new file in `folder` named `namePrefix` and a short random tail,
// created so that nothing already there (a link planted under the name)
// is ever written through, and written through a large buffer. It is
// removed again unless Publish gives it its final name.
class WorkingFile {
public:
    WorkingFile(const std::string& folder, const std::string& namePrefix);
    ~WorkingFile();
    WorkingFile(const WorkingFile&) = delete;
    WorkingFile& operator=(const WorkingFile&) = delete;

    // False when it could not be made; Problem says why.
    bool Created() const;
    const std::string& Path() const;
    // The system's reason for the first thing that failed; empty so far.
    const std::string& Problem() const;

    // As std::fwrite, std::fseek and std::ftell do; a failed write is kept
    // in Problem.
    bool Write(const void* data, std::size_t size);
    bool Seek(long long offset, int origin);
    long long Tell();

    // Flushes and closes the file; false, with Problem, when anything
    // written did not reach the disk.
    bool Complete();
    // Completes the file and names it `target`: replacing what has that
    // name (a link is replaced itself, never followed), or with
    // `keepExisting` only when nothing has it yet. Failed, with Problem.
    enum class Outcome { Published, NameTaken, Failed };
    Outcome Publish(const std::string& target, bool keepExisting);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// --- this process among others ---------------------------------------------

// This process told apart from every other that runs or ran since the
// system started (its id and its start time), in a few letters and
// digits with one "-", for names of its files.
std::string ProcessMark();

// True only when the process that `mark` names is known to have ended;
// false when it runs or cannot be told.
bool ProcessEnded(const std::string& mark);

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
// so the program can end at once and still clean up. An interrupt that
// another program sent, rather than the terminal (which sends it to every
// program of the foreground group), also stores true in `*sent` when given.
// Nulls restore the usual endings.
void StopOnSignals(std::atomic<bool>* running, std::atomic<bool>* now,
                   std::atomic<bool>* sent = nullptr);

// --- standard streams ------------------------------------------------------

// Opens the null device on each of standard input, output and error that
// is closed, so that no file opened later takes its number and gets the
// program's messages. Call first thing in main.
void OpenClosedStandardStreams();

// A write to a pipe nobody reads any more fails with an error instead of
// ending the program.
void IgnoreBrokenPipes();

// --- shell -----------------------------------------------------------------

// Hands a file, folder or URL to the desktop shell with the verb "open".
// False when the shell says it could not: no opener installed, or none for
// this target. On POSIX that verdict is waited for a moment at most; an
// opener still busy then counts as having opened it.
bool OpenWithShell(const std::string& target);

// Replaces what OpenWithShell does (tests record the targets instead of
// starting programs, and say what the shell answers). An empty function
// restores the real shell.
using ShellOpener = std::function<bool(const std::string&)>;
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
    // Interrupts it as Ctrl+C would (SIGINT). On Windows Ctrl+C reaches
    // every program of the console anyway, and this does nothing.
    void Interrupt();

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
