#pragma once

namespace tools {

// Opens the null device on each of standard input, output and error that is
// closed, so that no scratch file takes its number and gets the tool's
// lines. Called first thing in main.
void openClosedStandardStreams();

} // namespace tools
