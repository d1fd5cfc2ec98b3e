// Running the console tools: hidden, with their arguments as a list, and
// everything they print collected.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Asked every few milliseconds while a console tool runs; true ends the
// tool, and on POSIX every process it started, at once.
using GiveUp = std::function<bool()>;

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

// A console tool the program talks with while it runs: lines go to its
// standard input, and what it prints (standard output and error joined, in
// the order they arrived) comes back a line at a time. The tool runs hidden,
// in `workingFolder`, with its arguments as a list; it is ended, with every
// process it started, when the object goes.
class ToolSession {
public:
    ToolSession(const std::string& program, const std::vector<std::string>& arguments,
                const std::string& workingFolder);
    ~ToolSession();
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    // Writes `text` to the tool's input; false once the tool no longer
    // reads it.
    bool Send(const std::string& text);
    // Tells the tool that nothing more comes on its input.
    void EndInput();
    // The next line the tool printed, without its line end; a line longer
    // than kLongestToolLine comes in pieces. Waits for it, asking `giveUp`
    // every few milliseconds: true ends the tool. False once the tool has
    // ended and every line was taken; EndNote() then says how it ended.
    bool NextLine(std::string& line, const GiveUp& giveUp = {});
    // A line (with its end) saying that the tool could not start, was ended
    // by a signal or an exception, or was ended because `giveUp` said so;
    // empty after an ordinary exit.
    const std::string& EndNote() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

inline constexpr std::size_t kLongestToolLine = 1 << 20;

} // namespace platform
