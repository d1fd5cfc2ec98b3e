// Running the console tools: hidden, with their arguments as a list, and
// everything they print collected.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Asked every few milliseconds while a console tool runs; true ends the
// tool, and on POSIX every process it started, at once.
using GiveUp = std::function<bool()>;
// Asked while a console tool runs and the caller has nothing to do but wait
// for it: it may do a little work that can wait, and says whether it did,
// so that it is asked again once the tool has been looked at.
using Spare = std::function<bool()>;

// How the line ends that RunConsoleTool adds when `timeout` ended a program.
inline constexpr const char* kTimeLimitEnded = " seconds and was ended";

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

    // Lets the tool give its next page's files their names. Said to the
    // tool once AwaitPage has to wait for it.
    void Go();
    // The same, said at once: the caller has taken the names of the page's
    // files, and the tool may show the next page's while they are worked
    // on. AwaitPage then gives no go of its own for that page.
    void GoAhead();
    // Waits until the tool says its page is done (true) or ends without
    // saying so (false). `output` receives what it printed about the page,
    // with the lines RunConsoleTool adds when it cannot start, is ended by
    // a signal, or is ended because `giveUp` answered true. Once it returned
    // false the tool is gone. `spare` is asked each time before it would
    // wait.
    bool AwaitPage(std::string& output, const GiveUp& giveUp = {}, const Spare& spare = {});
    // False when the page just done named no file, so there is none of its
    // own to look for; true when that is not known.
    bool NamedFiles() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A console tool started ahead of its turn. The environment variable
// contract::kGoVariable names the descriptor the tool is to wait on: it gets
// ready (opens its input, say), reads that descriptor until it ends, and
// only then does its work. Run closes the descriptor and then works as
// RunConsoleTool does. A tool never given the go is ended when the object
// goes, before it has done anything. A tool that ignores the variable just
// runs at once, so prepare only tools that honour it. On Windows the tool is
// started by Run.
class PreparedTool {
public:
    PreparedTool(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& workingFolder);
    ~PreparedTool();

    // Once only.
    std::string Run(std::chrono::milliseconds timeout = std::chrono::milliseconds{0},
                    const GiveUp& giveUp = {});

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace platform
