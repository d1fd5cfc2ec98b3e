// The manifest of a run: a JSON line naming the document and the options,
// then one for every picture of the pages, saying which file it became or
// why none, with what the document holds of it and the file's SHA-256.
#pragma once

#include "cli/ImageListing.h"
#include "extract/JobSink.h"
#include "platform/AppendLog.h"

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// What became of each file and picture of a job, as its events told.
struct JobOutcomes {
    struct File {
        enum class Kind { Written, NotReplaced, Failed } kind;
        std::string path{};
        bool documentBytes = false;
        std::string reason{};    // of a failure
        std::uint64_t bytes = 0; // of a file written
        std::string sha256{};    // of a file written, taken as the job wrote it
    };
    // By page, in the order the job took them.
    std::map<int, std::vector<File>> files;
    // Pictures that never came out of the document, by page and number on
    // the page.
    std::map<std::pair<int, int>, extract::ImageFailure> pictures;
    // A page's failure that names no picture.
    std::map<int, std::string> pages;
    // What the document holds of each picture, as the job's tool said it;
    // not whole when the tool ended on a page before it said all.
    std::vector<ListedImage> listed;
    bool listedWhole = true;
};

// The names of the files a run has written so far, one a line beside its
// manifest, so that a run ended before its manifest can be cleared away:
// its files and nothing else.
class FileJournal {
public:
    explicit FileJournal(std::string path) : path_(path), log_(std::move(path)) {}

    // Notes the file, in the journal before this returns, should the run
    // be killed the moment after.
    void Add(const std::string& fileName);
    // The run is accounted for by its manifest: the journal goes.
    void Close();

    // Removes from `folder` the files a journal at `path` names, then the
    // journal; false when a file could not be removed.
    static bool ClearAway(const std::string& path, const std::string& folder);

private:
    std::string path_;
    platform::AppendLog log_;
};

// Passes a job's events on to `inner` and keeps what became of each file.
class OutcomeRecorder : public extract::JobSink {
public:
    explicit OutcomeRecorder(extract::JobSink& inner, FileJournal* journal = nullptr)
        : inner_(inner), journal_(journal) {}

    extract::JobRequest BeginJob() override { return inner_.BeginJob(); }
    void Tell(const extract::JobEvent& event) override;
    void Waiting() override { inner_.Waiting(); }
    void EndJob() override { inner_.EndJob(); }

    const JobOutcomes& Outcomes() const { return outcomes_; }

private:
    extract::JobSink& inner_;
    FileJournal* journal_;
    JobOutcomes outcomes_;
    int page_ = 0;
};

// The document a manifest was made from: its file name, and its size and
// SHA-256, by which another document of that name is told apart.
struct ManifestDocument {
    std::string name;
    std::uint64_t size = 0;
    std::string sha256;
};

// The first line: which document, asked with which options, and how many
// rows follow. A later run with the same line would write the same files.
std::string ManifestHeader(const ManifestDocument& document, const std::string& options,
                           std::size_t rows);

// The lines of the manifest after the header, one a picture in page order:
// what the listing says of it matched with what the job did. A file is
// named relative to its folder.
std::vector<std::string> ManifestRows(const std::vector<ListedImage>& listed,
                                      const JobOutcomes& outcomes);

// Writes the lines under a working name beside `path` and only then gives
// them that name, so a manifest that exists is whole. The system's reason
// when it could not; empty when written.
std::string WriteManifest(const std::string& path, const std::vector<std::string>& lines);

// Removes from `folder` the images of these names, as a journal or a
// manifest names them; a name that would reach outside it, or that no
// image of a run takes, is passed over.
// False when a file could not be removed.
bool RemoveNamedFiles(const std::string& folder, const std::vector<std::string>& names);

} // namespace cli
