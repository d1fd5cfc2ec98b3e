// How the files of a job are named: a pattern of fields such as
// "{doc}-p{page:03}-{i}", or the prefix and the running number.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace extract {

// What a file's name may say of its picture.
struct NameFacts {
    int number = 0; // across the job, from 1
    int page = 0;
    int onPage = 0;       // the file's number among those of its page, from 1
    std::string document; // the document's file name without .pdf
    int object = 0;       // 0 for an inline image or when not known
};

class NamePattern {
public:
    // No pattern: the prefix and the running number.
    NamePattern() = default;

    // The pattern in `text`, or nothing with `error` saying why: a field
    // not known, a brace left open, a path separator, or fields that could
    // give two files one name.
    static std::optional<NamePattern> Read(const std::string& text, std::string& error);

    bool Empty() const { return parts_.empty(); }
    // The file's name without its extension.
    std::string Name(const NameFacts& facts) const;
    // Whether some file of a run over `document` (its name as DocumentName
    // gives it) could be named `stem`.
    bool CouldName(const std::string& stem, const std::string& document) const;

private:
    bool Matches(std::size_t part, const std::string& stem, std::size_t at,
                 const std::string& document) const;

    struct Part {
        std::string literal; // when no field
        char field = 0;      // 'n', 'p' (page), 'i', 'd' (doc), 'o' (obj)
        int width = 0;       // zero-padded to this many digits
    };
    std::vector<Part> parts_;
};

// The document's name as a file name takes it: no folder, no .pdf.
std::string DocumentName(const std::string& path);

} // namespace extract
