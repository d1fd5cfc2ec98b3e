// The manifest of a run: a JSON line naming the document and the options,
// then one for every picture of the pages, saying which file it became or
// why none, with what the document holds of it and the file's SHA-256.
#pragma once

#include "cli/ImageListing.h"
#include "extract/JobSink.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// What became of each file and picture of a job, as its events told.
struct JobOutcomes {
    struct File {
        enum class Kind { Written, NotReplaced, Failed } kind;
        std::string path;
        bool documentBytes = false;
        std::string reason; // of a failure
    };
    // By page, in the order the job took them.
    std::map<int, std::vector<File>> files;
    // Pictures that never came out of the document, by page and number on
    // the page.
    std::map<std::pair<int, int>, extract::ImageFailure> pictures;
    // A page's failure that names no picture.
    std::map<int, std::string> pages;
};

// Passes a job's events on to `inner` and keeps what became of each file.
class OutcomeRecorder : public extract::JobSink {
public:
    explicit OutcomeRecorder(extract::JobSink& inner) : inner_(inner) {}

    extract::JobRequest BeginJob() override { return inner_.BeginJob(); }
    void Tell(const extract::JobEvent& event) override;
    void EndJob() override { inner_.EndJob(); }

    const JobOutcomes& Outcomes() const { return outcomes_; }

private:
    extract::JobSink& inner_;
    JobOutcomes outcomes_;
    int page_ = 0;
};

// The first line: which document, asked with which options. A later run
// with the same line would write the same files.
std::string ManifestHeader(const std::string& document, const std::string& options);

// The lines of the manifest after the header, one a picture in page order:
// what the listing says of it matched with what the job did. A file is
// named relative to its folder.
std::vector<std::string> ManifestRows(const std::vector<ListedImage>& listed,
                                      const JobOutcomes& outcomes);

// The object number of the file `fileOnPage` (from 1) the job takes from
// `page`: of the listing's files of that page, those not left out and not of
// a picture that failed, in order. 0 when the listing has no such file.
int ObjectOfFile(const std::vector<ListedImage>& listed, const JobOutcomes& outcomes, int page,
                 int fileOnPage);

// Writes the lines under a working name beside `path` and only then gives
// them that name, so a manifest that exists is whole. The system's reason
// when it could not; empty when written.
std::string WriteManifest(const std::string& path, const std::vector<std::string>& lines);

// The header of the manifest at `path`; empty when there is none or it
// cannot be read.
std::string ReadManifestHeader(const std::string& path);

} // namespace cli
