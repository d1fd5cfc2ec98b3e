#include "cli/DocumentList.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace cli {

namespace {

// The longest document name a list may hold, in bytes: the longest path
// the system takes.
constexpr std::size_t kLongestName = 4096;

// The names in `file`, each ended by `end` (the last one may lack it);
// empty names are skipped, and a line's final carriage return dropped.
// Nothing once a name grows past kLongestName.
std::optional<std::vector<std::string>> ReadNames(std::FILE* file, char end) {
    std::vector<std::string> names;
    std::string name;
    const auto take = [&] {
        if (end == '\n' && !name.empty() && name.back() == '\r')
            name.pop_back();
        if (!name.empty())
            names.push_back(name);
        name.clear();
    };
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        if (c == end)
            take();
        else if (name.size() < kLongestName)
            name.push_back(static_cast<char>(c));
        else
            return std::nullopt;
    }
    take();
    return names;
}

} // namespace

bool ReadDocumentList(ExtractOptions& options, const Messages& messages) {
    const bool fromInput = *options.from == "-";
    const std::string shown = fromInput ? "standard input" : *options.from;
    // A device would never end: /dev/zero is read for ever.
    if (!fromInput && platform::LookUpPath(shown).kind == platform::PathState::Kind::Reached &&
        !platform::FileExists(shown) && !platform::PipeExists(shown)) {
        messages.Say("the list of documents " + shown +
                     " is not a regular file, a pipe or standard input");
        return false;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(
        fromInput ? stdin : std::fopen(options.from->c_str(), "rb"),
        fromInput ? +[](std::FILE*) { return 0; } : &std::fclose);
    if (!file) {
        messages.Say("cannot read the list of documents " + shown + ": " + std::strerror(errno));
        return false;
    }
    const std::optional<std::vector<std::string>> names =
        ReadNames(file.get(), options.nulSeparated ? '\0' : '\n');
    if (!names) {
        messages.Say("the list of documents " + shown + " holds a name longer than " +
                     std::to_string(kLongestName) + " bytes");
        return false;
    }
    if (std::ferror(file.get())) {
        messages.Say("cannot read the list of documents " + shown + ": " + std::strerror(errno));
        return false;
    }
    if (names->empty() && options.inputs.empty()) {
        messages.Say("the list of documents " + shown + " names none");
        return false;
    }
    options.inputs.insert(options.inputs.end(), names->begin(), names->end());
    return true;
}

std::string DocumentProblem(const std::string& input) {
    if (platform::FileExists(input))
        return {};
    if (platform::FolderExists(input))
        return " is a folder, not a PDF file";
    const platform::PathState state = platform::LookUpPath(input);
    switch (state.kind) {
    case platform::PathState::Kind::TooLong:
        return ": the path is too long (" + state.reason + ")";
    case platform::PathState::Kind::Refused:
        return ": " + state.reason;
    case platform::PathState::Kind::Reached:
        return " is not a regular file";
    case platform::PathState::Kind::Missing:
        break;
    }
    return " does not exist";
}

} // namespace cli
