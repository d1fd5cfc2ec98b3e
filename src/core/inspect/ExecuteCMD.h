// Runs one of the console tools that sit beside the program.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace inspect {

// Runs `toolName` from `appFolder` (which ends in a separator), with
// `appFolder` as its working folder, and returns everything it printed.
// Each argument reaches the tool whole; `giveUp` answering true ends the
// tool. Never raises.
std::string RunConsoleTool(const std::string& toolName, const std::vector<std::string>& arguments,
                           const std::string& appFolder,
                           std::chrono::milliseconds timeout = std::chrono::milliseconds{0},
                           const std::function<bool()>& giveUp = {});

// The tool's output cut at line ends; empty lines are dropped and blanks
// kept. Quotes mean nothing here: a title such as Year's report is a line
// like any other.
std::vector<std::string> OutputLines(const std::string& output);

} // namespace inspect
