#include "extract/Failures.h"

#include "text/TextRules.h"

#include <array>
#include <cstdlib>
#include <regex>
#include <string_view>

namespace extract {

namespace {

constexpr std::string_view kErrorMark = "Error: ";

bool NamesPage(const std::string& line, int page) {
    const std::string mark = "page " + std::to_string(page);
    for (std::size_t at = line.find(mark); at != std::string::npos; at = line.find(mark, at + 1)) {
        const std::size_t after = at + mark.size();
        if (after == line.size() || line[after] < '0' || line[after] > '9')
            return true;
    }
    return false;
}

int Number(const std::ssub_match& digits) {
    return digits.matched ? std::atoi(digits.str().c_str()) : 0;
}

ImageFailure ReadLine(int page, const std::string& line) {
    // How the tool names a picture or a page at the start of a line.
    const std::regex namedImage(
        R"(^(?:Error: )?page (\d+), image (\d+)(?: \(object (\d+)\))?: (.*)$)");
    const std::regex namedPage(R"(^(?:Error: )?page (\d+): (.*)$)");
    std::smatch m;
    if (std::regex_match(line, m, namedImage) && Number(m[1]) == page)
        return {page, Number(m[2]), Number(m[3]), PlainReason(m[4])};
    if (std::regex_match(line, m, namedPage) && Number(m[1]) == page)
        return {page, 0, 0, PlainReason(m[2])};
    // A tool that died, or a line of another shape, is told as it came,
    // under its page unless it names that itself.
    const std::string said = line.rfind(kErrorMark, 0) == 0 ? line.substr(kErrorMark.size()) : line;
    return {NamesPage(said, page) ? 0 : page, 0, 0, said};
}

struct Plain {
    const char* said; // what the tool's reason holds
    const char* meant;
};

// What a decoder says, in words a user can act on. First match wins: the
// more particular words come first.
constexpr std::array<Plain, 11> kPlainReasons{{
    {"Premature end of JPEG", "the JPEG data is cut short"},
    {"JPEG data: premature end", "the JPEG data is cut short"},
    {"JPEG data ends early", "the JPEG data is cut short"},
    {"JBIG2 segment ends early", "the JBIG2 data is cut short"},
    {"ends early", "the image data is cut short"},
    {"premature end", "the image data is cut short"},
    {"Not a JPEG file", "the JPEG data is damaged"},
    {"JPX header", "the JPEG-2000 data is damaged"},
    {"unknown filter", "the picture is stored in an encoding this program does not know"},
    {"read error; treating as end of file", "the compressed data is damaged"},
    {"zlib error", "the compressed data is damaged"},
}};

} // namespace

std::string NamedFailure(const ImageFailure& failure) {
    std::string name;
    if (failure.page > 0)
        name = "page " + std::to_string(failure.page);
    if (failure.imageOnPage > 0)
        name += ", image " + std::to_string(failure.imageOnPage);
    if (failure.objectNumber > 0)
        name += " (object " + std::to_string(failure.objectNumber) + ")";
    return name.empty() ? failure.reason : name + ": " + failure.reason;
}

std::vector<ImageFailure> ToolFailures(int page, const std::string& output) {
    std::vector<ImageFailure> failures;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos)
            end = output.size();
        const std::string line = text::Trim(output.substr(start, end - start));
        if (!line.empty())
            failures.push_back(ReadLine(page, line));
        start = end + 1;
    }
    return failures;
}

std::string PlainReason(const std::string& toolReason) {
    for (const Plain& plain : kPlainReasons)
        if (toolReason.find(plain.said) != std::string::npos)
            return plain.meant;
    // The rest say it plainly enough once the decoder's preamble is gone.
    const std::string preamble = "cannot decode it: ";
    return toolReason.rfind(preamble, 0) == 0 ? toolReason.substr(preamble.size()) : toolReason;
}

std::string ListFailures(const std::vector<std::string>& failures, const std::string& lineEnd,
                         const std::function<std::string(std::size_t)>& more) {
    std::string list;
    for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        list += (i > 0 ? lineEnd : std::string()) + failures[i];
    if (failures.size() > kListedFailures)
        list += lineEnd + more(failures.size() - kListedFailures);
    return list;
}

} // namespace extract
