// The terminal, the standard streams and the signals a terminal sends.
#pragma once

#include <atomic>
#include <string>

namespace platform {

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

// Opens the null device on each of standard input, output and error that
// is closed, so that no file opened later takes its number and gets the
// program's messages. Call first thing in main.
void OpenClosedStandardStreams();

// A write to a pipe nobody reads any more fails with an error instead of
// ending the program.
void IgnoreBrokenPipes();

} // namespace platform
