#include "cli/RunManifest.h"

#include "cli/ExitCodes.h"
#include "cli/ManifestPlace.h"
#include "cli/PictureFacts.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "text/TextRules.h"

namespace cli {

namespace {

// The manifest's name in a document's folder when --manifest names no file.
constexpr const char* kManifestName = "manifest.jsonl";
// Beside the manifest while its run writes files: their names.
constexpr const char* kJournalSuffix = ".journal";

} // namespace

RunManifest::RunManifest(const ExtractOptions& options, std::string input, std::string outputFolder)
    : options_(options), input_(std::move(input)), outputFolder_(std::move(outputFolder)),
      path_(options.manifest->empty() ? platform::WithSeparator(outputFolder_) + kManifestName
                                      : platform::AbsolutePath(*options.manifest)) {}

std::string RunManifest::PlaceProblem() const {
    return ManifestPlaceProblem(path_, input_, outputFolder_, options_);
}

SizedDigest RunManifest::DocumentDigest() {
    if (!documentDigest_)
        documentDigest_ = FileSizeAndSha256(input_).value_or(SizedDigest{});
    return *documentDigest_;
}

std::optional<int> RunManifest::DoneBefore(const Messages& messages) {
    if (!options_.resume)
        return std::nullopt;
    earlier_ = CheckManifest(path_, outputFolder_,
                             {.document = text::ExtractFileName(input_),
                              .options = RunOptionsText(options_),
                              .documentDigest = [this] { return DocumentDigest(); }});
    if (earlier_.kind == ResumeVerdict::Kind::Done) {
        messages.Say(input_ + " was done before: " + path_ + " lists its images");
        return earlier_.failures ? kSomeFailed : kAllWritten;
    }
    if (earlier_.kind == ResumeVerdict::Kind::Redo)
        messages.Say(input_ + " is done again: its manifest " + path_ + " " + earlier_.why);
    return std::nullopt;
}

bool RunManifest::Begin(const Messages& messages) {
    // The files of a run that ended before its manifest go, and only they;
    // so do those of a manifest not trusted, and the manifest.
    if (options_.resume &&
        (!FileJournal::ClearAway(path_ + kJournalSuffix, outputFolder_) ||
         (earlier_.kind == ResumeVerdict::Kind::Redo &&
          (!RemoveNamedFiles(outputFolder_, earlier_.files) || !platform::RemoveFile(path_))))) {
        messages.Say("cannot remove the files an unfinished run left in " + outputFolder_);
        return false;
    }
    journal_.emplace(path_ + kJournalSuffix);
    return true;
}

bool RunManifest::Write(const JobOutcomes& outcomes, const ToolListing& listing,
                        const Messages& messages) {
    // A manifest that exists holds every picture, or it is not written.
    if (!listing.finished) {
        messages.Say("cannot write the manifest " + path_ +
                     ": the pictures of the pages could not all be listed");
        return false;
    }
    std::vector<ListedImage> images = listing.images;
    KnowWhatFilesHold(images, options_.format);
    const std::vector<std::string> rows = ManifestRows(images, outcomes);
    const SizedDigest document = DocumentDigest();
    std::vector<std::string> lines{ManifestHeader(
        {.name = text::ExtractFileName(input_), .size = document.size, .sha256 = document.sha256},
        RunOptionsText(options_), rows.size())};
    lines.insert(lines.end(), rows.begin(), rows.end());
    if (const std::string problem = WriteManifest(path_, lines); !problem.empty()) {
        messages.Say("cannot write the manifest " + path_ + ": " + problem);
        return false;
    }
    journal_->Close();
    return true;
}

} // namespace cli
