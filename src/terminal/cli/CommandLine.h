// The command line of arvenzo-extract.
#pragma once

#include "cli/PageRequest.h"
#include "extract/NamePattern.h"
#include "extract/ToolOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct ExtractOptions {
    PageRequest pages;
    std::string format = "Original"; // one of the window's six names
    std::string prefix;
    std::optional<std::string> name; // the pattern as given
    extract::NamePattern naming;     // read from it
    std::optional<std::string> password;
    std::optional<std::string> passwordFile;
    bool quiet = false;
    bool noClobber = false;
    int jobs = 1;
    int quality = 80; // of the JPEG files encoded, 1 to 100
    extract::PictureChoice pictures;
    bool help = false;
    bool version = false;
    // List the images instead of writing them; every argument is a document.
    bool list = false;
    bool json = false;
    // More documents, named in this file ("-": standard input), one a
    // line or, with `nulSeparated`, each ended by a NUL.
    std::optional<std::string> from;
    bool nulSeparated = false;
    // Write a manifest: to this file, or when empty to manifest.jsonl in
    // the document's folder.
    std::optional<std::string> manifest;
    // Skip a document its manifest shows done with these options; clear away
    // what a run ended before its manifest wrote. Implies a manifest.
    bool resume = false;
    std::vector<std::string> inputs;
    std::string outputFolder;
};

// The options that decide which files a run writes and how, as arguments:
// two runs given the same ones write the same files.
std::vector<std::string> RunOptions(const ExtractOptions& options);
// The same as one line, as a manifest records them.
std::string RunOptionsText(const ExtractOptions& options);

// The usage text that --help prints.
std::string HelpText();

// Reads the arguments (without the program name); nothing on bad usage,
// with `error` saying why.
std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error);

} // namespace cli
