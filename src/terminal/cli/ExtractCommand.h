// arvenzo-extract: the window's extraction job, run from a terminal.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace cli {

enum ExitCode { kAllWritten = 0, kSomeFailed = 1, kBadInput = 2, kInterrupted = 130 };

// Set for a run that is one of several documents: the document's name,
// which its messages carry, and whether it may ask for a password (runs
// side by side must not ask on one terminal at once).
inline constexpr const char* kDocumentVariable = "ARVENZO_EXTRACT_DOCUMENT";
inline constexpr const char* kNoPromptVariable = "ARVENZO_EXTRACT_NO_PROMPT";
// The manifest's name in a document's folder when --manifest names no file.
inline constexpr const char* kManifestName = "manifest.jsonl";
// Beside the manifest while its run writes files: their names.
inline constexpr const char* kJournalSuffix = ".journal";

// Runs the command with `args` (without the program name): help and version
// on `out`, everything else on `err`; returns the exit code.
int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

// `code`, or a failure when what was written on `out` did not all arrive
// (a full disk, a pipe closed early), which is then said on `err`.
int CheckedOutput(int code, std::FILE* out, std::FILE* err);

} // namespace cli
