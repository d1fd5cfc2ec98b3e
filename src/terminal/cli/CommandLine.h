// The command line of arvenzo-extract.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

// Pages as asked for: an end left open runs to the document's start or end.
struct PageRequest {
    std::optional<long long> first;
    std::optional<long long> last;
    std::string text; // as given, for messages
};

struct ExtractOptions {
    PageRequest pages;
    std::string format = "Original"; // one of the window's six names
    std::string prefix;
    std::optional<std::string> name; // a pattern read by extract::NamePattern
    std::optional<std::string> password;
    std::optional<std::string> passwordFile;
    bool quiet = false;
    bool noClobber = false;
    int jobs = 1;
    int quality = 80;    // of the JPEG files encoded, 1 to 100
    bool unique = false; // each picture once
    int minWidth = 0;    // smaller pictures are left out
    int minHeight = 0;
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

// The options that decide which files a run writes and how, as one line:
// two runs with the same line write the same files.
std::string RunOptionsText(const ExtractOptions& options);

// The usage text that --help prints.
std::string HelpText();

// "N", "N-M", "N-", "-M" or empty (every page); nothing for other text.
std::optional<PageRequest> ReadPageRange(const std::string& text);

// The window's name for a format name given in any case or by an alias
// ("jpg", "tif", "jp2"); nothing for an unknown name.
std::optional<std::string> ReadFormatName(const std::string& name);

// "WxH" or "N" (N by N); nothing for other text.
std::optional<std::pair<int, int>> ReadMinimumSize(const std::string& text);

// Reads the arguments (without the program name); nothing on bad usage,
// with `error` saying why.
std::optional<ExtractOptions> ParseCommandLine(const std::vector<std::string>& args,
                                               std::string& error);

} // namespace cli
