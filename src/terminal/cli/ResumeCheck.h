// What --resume makes of the manifest an earlier run left: a document is
// skipped only when its manifest is whole, was made from the same document
// with the same options, and every file it names is there as written.
#pragma once

#include "Sha256.h"

#include <functional>
#include <string>
#include <vector>

namespace cli {

using digest::FileSizeAndSha256;
using digest::SizedDigest;

struct ResumeVerdict {
    enum class Kind {
        Fresh, // no manifest: a first run, or one cut off before it
        Done,  // trusted: nothing to do
        Redo   // there, but not to be trusted
    } kind = Kind::Fresh;
    bool failures = false;          // Done: it names failures or files not replaced
    std::string why;                // Redo: what is wrong with it
    std::vector<std::string> files; // Redo: the files it says were written
};

// The run a manifest must tell of to be trusted. The document's size and
// SHA-256 are asked for only once everything cheaper agrees.
struct ExpectedRun {
    std::string document;
    std::string options;
    std::function<SizedDigest()> documentDigest;
};

// Judges the manifest at `path`, whose files are in `folder`.
ResumeVerdict CheckManifest(const std::string& path, const std::string& folder,
                            const ExpectedRun& expected);

} // namespace cli
