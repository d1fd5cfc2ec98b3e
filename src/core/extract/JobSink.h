// What a job is asked to do, and what it tells while it does it. The window
// and arvenzo-extract each build the request with their own rules and follow
// the events in their own way.
#pragma once

#include "extract/Failures.h"
#include "extract/ImageConversion.h"
#include "extract/NamePattern.h"
#include "extract/ToolOptions.h"
#include "extract/ToolRecords.h"

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace extract {

struct JobRequest {
    std::string inputPath;
    // 1-based and inclusive; a last page before the first means no pages.
    int firstPage = 1;
    int lastPage = 0;
    std::string password;
    // What follows a job that went well: the folder opened, or a word that
    // the document holds no images.
    bool openAfter = true;
    ConversionSettings conversion;
    // The files' names; without a pattern, the prefix and the running number.
    NamePattern naming;
    PictureChoice pictures;
};

struct PageBegun {
    int page;
};
// What the document holds of each picture of the page, left out ones
// included, told before its files are; `complete` unless the tool ended
// on the page before it said them all.
struct PagePictures {
    int page;
    std::vector<ListedImage> pictures;
    bool complete = true;
};
// Its images are converted too.
struct PageDone {
    int page;
};
struct ImageWritten {
    int number; // across the job, from 1
    std::string path;
    bool documentBytes; // the document's own bytes, copied, rather than encoded
    std::uint64_t bytes = 0;
    std::string sha256; // taken as it was written, when asked for; or empty
};
// The output name was taken and left alone, as asked.
struct ImageNotReplaced {
    int number;
    std::string path;
};
struct ImageFailed {
    ImageFailure failure;
    // The number the file would have had, when it is the writing that
    // failed; 0 when the picture never came out of the document.
    int number = 0;
};

enum class AfterJob { Nothing, OpenFolder, NoImagesFound };

struct JobFinished {
    int written = 0;
    int notReplaced = 0;
    int failed = 0;
    // Left out, counted only when the request leaves pictures out.
    int repeats = 0;
    int small = 0;
    bool stopped = false;
    // The output folder, or the scratch folder the tool writes into, took
    // no more files (a full disk, a folder gone), and the job ended there.
    bool outputBroken = false;
    AfterJob after = AfterJob::Nothing;
};

// The job could not go on at all; nothing follows but the end.
struct JobFailed {
    std::string message;
};

using JobEvent = std::variant<PageBegun, PagePictures, PageDone, ImageWritten, ImageNotReplaced,
                              ImageFailed, JobFinished, JobFailed>;

class JobSink {
public:
    virtual ~JobSink() = default;
    // The request, taken as the job starts. What this throws ends the job as
    // a JobFailed with its message.
    virtual JobRequest BeginJob() = 0;
    virtual void Tell(const JobEvent& event) = 0;
    // Called each time the job is about to wait on its tool, and at least
    // every tenth of a second while it waits: a sink that holds back its
    // redraws shows them here.
    virtual void Waiting() {}
    // Always the last call, however the job went.
    virtual void EndJob() = 0;
};

} // namespace extract
