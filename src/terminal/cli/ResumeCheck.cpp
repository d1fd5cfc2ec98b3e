#include "cli/ResumeCheck.h"

#include "platform/Environment.h"
#include "platform/Files.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>

namespace cli {

namespace {

using Json = nlohmann::json;

// What a manifest's lines say, as far as they can be read.
struct ReadManifest {
    std::vector<Json> lines;
    std::string problem;            // why it cannot be trusted as read
    std::vector<std::string> files; // named as written, in every row that parses
};

ReadManifest Read(std::istream& in) {
    ReadManifest read;
    std::string line;
    for (std::size_t number = 1; std::getline(in, line); ++number) {
        Json json = Json::parse(line, nullptr, false);
        if (json.is_discarded() || !json.is_object()) {
            if (read.problem.empty())
                read.problem = "has a line " + std::to_string(number) + " that is not JSON";
            continue;
        }
        // A last line without its line end was cut off as it was written.
        if (in.eof() && read.problem.empty())
            read.problem = "ends in a line cut short";
        if (json.value("status", "") == "written" && json["file"].is_string())
            read.files.push_back(json["file"].get<std::string>());
        read.lines.push_back(std::move(json));
    }
    if (read.lines.empty() && read.problem.empty())
        read.problem = "is empty";
    return read;
}

bool IsText(const Json& row, const char* key) {
    return row.contains(key) && row[key].is_string();
}

bool IsCount(const Json& row, const char* key) {
    return row.contains(key) && row[key].is_number_unsigned();
}

// Why the header does not describe the run expected, in the order that
// costs least; the document's digest last.
std::string HeaderProblem(const Json& header, const ExpectedRun& expected, std::size_t rows) {
    if (!IsText(header, "document") || !IsText(header, "options") ||
        !IsCount(header, "document_size") || !IsText(header, "document_sha256") ||
        !IsCount(header, "rows"))
        return "does not record the document's size and SHA-256 and its number of rows";
    if (header["document"] != expected.document)
        return "was made from " + header["document"].get<std::string>();
    if (header["options"] != expected.options)
        return "was made with other options";
    if (header["rows"] != rows)
        return "has " + std::to_string(rows) + " rows where its first line counts " +
               std::to_string(header["rows"].get<std::uint64_t>());
    const SizedDigest document = expected.documentDigest();
    if (header["document_size"] != document.size || header["document_sha256"] != document.sha256)
        return "was made from another document of that name";
    return {};
}

// Why a picture's row cannot be trusted, checking a written file against
// what the row says of it.
std::string RowProblem(const Json& row, const std::string& folder) {
    static const std::set<std::string> kStatuses{"written", "not replaced", "failed", "small",
                                                 "repeat"};
    if (!IsText(row, "status") || !kStatuses.count(row["status"].get<std::string>()) ||
        !IsCount(row, "page") || !row.contains("file"))
        return "has a row that is not whole";
    if (row["status"] != "written")
        return {};
    if (!IsText(row, "file") || !IsText(row, "sha256") || !IsCount(row, "size"))
        return "has a row that is not whole";
    const std::string name = row["file"].get<std::string>();
    const std::string path = platform::WithSeparator(folder) + name;
    if (platform::HoldsSeparator(name) || !platform::FileExists(path))
        return "names " + name + ", which is not there";
    const std::optional<SizedDigest> digest = FileSizeAndSha256(path);
    if (!digest || digest->size != row["size"] || digest->sha256 != row["sha256"])
        return "names " + name + ", which does not have the size and SHA-256 it gives";
    return {};
}

} // namespace

ResumeVerdict CheckManifest(const std::string& path, const std::string& folder,
                            const ExpectedRun& expected) {
    ResumeVerdict verdict;
    if (!platform::FileExists(path))
        return verdict;
    std::ifstream in(path, std::ios::binary);
    const ReadManifest read = Read(in);
    verdict.kind = ResumeVerdict::Kind::Redo;
    verdict.files = read.files;
    if (!read.problem.empty()) {
        verdict.why = read.problem;
        return verdict;
    }
    const std::size_t rows = read.lines.size() - 1;
    verdict.why = HeaderProblem(read.lines.front(), expected, rows);
    for (std::size_t i = 1; verdict.why.empty() && i < read.lines.size(); ++i) {
        verdict.why = RowProblem(read.lines[i], folder);
        const std::string status = read.lines[i].value("status", "");
        verdict.failures = verdict.failures || status == "failed" || status == "not replaced";
    }
    if (verdict.why.empty())
        verdict.kind = ResumeVerdict::Kind::Done;
    return verdict;
}

} // namespace cli
