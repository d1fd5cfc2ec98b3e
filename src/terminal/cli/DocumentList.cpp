#include "cli/DocumentList.h"

#include "platform/Files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace cli {

namespace {

// The names of a list as its bytes come, one name's worth held at a time.
class NameSplitter {
public:
    explicit NameSplitter(bool nulSeparated) : end_(nulSeparated ? '\0' : '\n') {}

    // False once a name grows past kLongestName.
    bool Add(const char* bytes, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] == end_)
                Take();
            else if (name_.size() < kLongestName)
                name_.push_back(bytes[i]);
            else
                return false;
        }
        return true;
    }
    // The names, the last one taken even without its end.
    std::vector<std::string> Names() {
        Take();
        return std::move(names_);
    }

private:
    // Empty names are skipped, and a line's final carriage return dropped.
    void Take() {
        if (end_ == '\n' && !name_.empty() && name_.back() == '\r')
            name_.pop_back();
        if (!name_.empty())
            names_.push_back(std::move(name_));
        name_.clear();
    }

    char end_;
    std::string name_;
    std::vector<std::string> names_;
};

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
    NameSplitter splitter(options.nulSeparated);
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;)
        if (!splitter.Add(buffer, n)) {
            messages.Say("the list of documents " + shown + " holds a name longer than " +
                         std::to_string(kLongestName) + " bytes");
            return false;
        }
    if (std::ferror(file.get())) {
        messages.Say("cannot read the list of documents " + shown + ": " + std::strerror(errno));
        return false;
    }
    const std::vector<std::string> names = splitter.Names();
    if (names.empty() && options.inputs.empty()) {
        messages.Say("the list of documents " + shown + " names none");
        return false;
    }
    options.inputs.insert(options.inputs.end(), names.begin(), names.end());
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
