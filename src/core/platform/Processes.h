// This process among others: telling it apart from later ones, and
// programs run beside it.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace platform {

// This process told apart from every other that runs or ran since the
// system started (its id and its start time), in a few letters and
// digits with one "-", for names of its files.
std::string ProcessMark();

// True only when the process that `mark` names is known to have ended;
// false when it runs or cannot be told.
bool ProcessEnded(const std::string& mark);

// A program run beside this one, sharing its terminal, input and output:
// a terminal's Ctrl+C reaches it too. `environment` entries ("NAME=value")
// are added to this process's environment for it.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::vector<std::string>& environment);
    // Waits for the program if it still runs.
    ~ChildProcess();

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

} // namespace platform
