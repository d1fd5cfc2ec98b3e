// One extraction job: glimmet.bin through the range a page at a time, every
// image converted, failures gathered and reported at the end. The window and the
// command-line program run the same job, each with its own observer.
#pragma once

#include "extract/ImageConversion.h"
#include "platform/ConsoleTool.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

namespace extract {

// How long a page may go on after a stop: long enough for an ordinary page
// to come out whole, short enough that a tool stuck in a damaged image
// does not hold the job.
inline constexpr std::chrono::seconds kStopGrace{5};

// A job's settings, read once before it starts.
struct JobSettings {
    std::string inputPath;
    std::string pageCountText;
    std::string pageRangeText;
    std::string password;
    bool openAfter = true;
    ConversionSettings conversion;
    // Pictures left out: repeats of one written, and those smaller than
    // the minimum (0 for none).
    bool unique = false;
    int minWidth = 0;
    int minHeight = 0;
};

// Where the job runs and what it reports to.
class ExtractionObserver {
public:
    virtual ~ExtractionObserver() = default;
    // Switches to the extracting look and hands over the settings.
    virtual JobSettings BeginExtractionUi() = 0;
    virtual void SetProgressRange(int maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void ShowExtractionError(const std::string& message) = 0;
    virtual void ShowNoImagesFound() = 0;
    virtual void EndExtractionUi() = 0;
    virtual void OpenOutputFolder(const std::string& folder) = 0;
    // One image handled, with the path it was written to or meant for; for
    // running counts. `problem` holds what the file system said when the
    // file could not be written; one that every file would meet stops the
    // job, which then names it.
    virtual void ImageConverted(int /*number*/, Converted /*outcome*/,
                                const std::string& /*target*/, const OutputProblem& /*problem*/) {}
    // How many pictures the run left out, once its pages are done.
    virtual void PicturesLeftOut(int /*repeats*/, int /*small*/) {}
    // The tool's own lines about a page it failed on.
    virtual void PageFailed(int /*page*/, const std::string& /*toolOutput*/) {}
};

enum class JobEnd { Completed, CompletedWithErrors, Stopped, Failed };

inline constexpr const char* kSomeErrors =
    "Some errors occured during the extraction process!\r\n\r\n"
    "It maybe a permission or I/O error:\r\n"
    "Extracting of images from this document is not allowed.";

class ExtractionJob {
public:
    // `running` must already be true; clearing it stops the job before its
    // next page, and ends the page being run if it takes longer than
    // kStopGrace. The job clears it itself when an output file cannot be
    // written. `toolFolder` holds glimmet.bin; `workFolder` (ending in a
    // separator) receives its images. `abandon` turning true ends even the
    // page that is being run at once.
    ExtractionJob(ExtractionObserver& observer, std::atomic<bool>& running, std::string toolFolder,
                  std::string workFolder, const std::atomic<bool>* abandon = nullptr);

    JobEnd Run();

private:
    JobEnd RunPages();
    bool RunPage(int page, int lastPage, const JobSettings& settings, std::string& pageResult);
    std::string RunTool(int page, int lastPage, const JobSettings& settings);

    ExtractionObserver& observer_;
    std::atomic<bool>& running_;
    std::string toolFolder_;
    std::string workFolder_;
    const std::atomic<bool>* abandon_;
    int imageCounter_ = 0;
    bool errors_ = false;
    // An output file could not be written: the rest would fail the same way.
    bool outputBroken_ = false;
    bool pageEndedByStop_ = false;
    bool namedFiles_ = true; // the page may have left files to take
    // The tool at work on the range from the page being run: it does the
    // next page while this one's images are converted. A page it ends on
    // leaves the rest of the range to a new one.
    std::unique_ptr<platform::PageTool> tool_;
};

} // namespace extract
