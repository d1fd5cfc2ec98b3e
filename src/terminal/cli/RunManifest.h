// The manifest side of one document's run: what an earlier run left, the
// journal of the files this one writes, and the manifest it leaves.
#pragma once

#include "cli/CommandLine.h"
#include "cli/Manifest.h"
#include "cli/Messages.h"
#include "cli/ResumeCheck.h"

#include <optional>
#include <string>

namespace cli {

class RunManifest {
public:
    // `input` and `outputFolder` are whole paths.
    RunManifest(const ExtractOptions& options, std::string input, std::string outputFolder);

    // Why the manifest cannot go where it is asked to; empty when it can.
    std::string PlaceProblem() const;
    // With --resume: the exit code of a document its manifest shows done,
    // after saying so; nothing when the document is to be done, after
    // saying why when its manifest is not trusted.
    std::optional<int> DoneBefore(const Messages& messages);
    // With --resume, removes the files of a run that ended before its
    // manifest, and those of a manifest not trusted with it; then starts
    // this run's journal. False after saying what could not be removed.
    bool Begin(const Messages& messages);
    FileJournal& Journal() { return *journal_; }
    // Writes the manifest of a run that went through its pages: the
    // listing's facts of each picture with what the job made of it. False
    // after saying why it could not be written.
    bool Write(const JobOutcomes& outcomes, const ToolListing& listing, const Messages& messages);

private:
    // The document's size and digest, taken once, and only when needed.
    SizedDigest DocumentDigest();

    const ExtractOptions& options_;
    std::string input_;
    std::string outputFolder_;
    std::string path_;
    std::optional<SizedDigest> documentDigest_;
    ResumeVerdict earlier_;
    std::optional<FileJournal> journal_;
};

} // namespace cli
