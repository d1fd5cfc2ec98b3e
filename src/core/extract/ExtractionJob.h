// One extraction job: glimmet.bin through the range a page at a time, every
// image converted, each failure named as it comes. The window and the
// command-line program run the same job, each with its own sink.
#pragma once

#include "extract/JobSink.h"
#include "extract/PageTool.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace extract {

// How long a page may go on after a stop: long enough for an ordinary page
// to come out whole, short enough that a tool stuck in a damaged image
// does not hold the job.
inline constexpr std::chrono::seconds kStopGrace{5};

enum class JobEnd { Completed, CompletedWithErrors, Stopped, Failed };

class ExtractionJob {
public:
    // `running` must already be true; clearing it stops the job before its
    // next page, and ends the page being run if it takes longer than
    // kStopGrace. The job clears it itself when an output file cannot be
    // written. `toolFolder` holds glimmet.bin; `workFolder` (ending in a
    // separator) receives its images. `abandon` turning true ends even the
    // page that is being run at once.
    ExtractionJob(JobSink& sink, std::atomic<bool>& running, std::string toolFolder,
                  std::string workFolder, const std::atomic<bool>* abandon = nullptr);

    JobEnd Run();

private:
    JobEnd RunPages();
    // False when the page, or one of its images, failed.
    bool RunPage(int page, const JobRequest& request);
    PageReport AwaitPage(int page);
    // The tool's problems with the page, and whether its scratch folder
    // took no more files.
    void TellProblems(int page, const std::vector<std::string>& problems);
    void ConvertPageImages(int page, const std::vector<MadeFile>& files, const JobRequest& request);
    // Converts one scratch image into the file `name`; false when the
    // output folder takes no more files.
    bool ConvertOne(int page, int number, const MadeFile& file, const std::string& name,
                    const JobRequest& request);
    void CountLeftOut(const std::vector<ListedImage>& pictures);
    void Fail(const ImageFailure& failure, int number = 0);

    JobSink& sink_;
    std::atomic<bool>& running_;
    std::string toolFolder_;
    std::string workFolder_;
    const std::atomic<bool>* abandon_;
    JobFinished counts_;
    int imagesTaken_ = 0; // scratch images handled, whatever became of them
    // The files written so far, and the page of each: a pattern may give
    // two pictures one name, and the second must not replace the first.
    std::map<std::string, int> written_;
    // An output file, or the tool's scratch files, could not be written for
    // want of room or of the folder: the rest would fail the same way.
    bool outputBroken_ = false;
    bool pageEndedByStop_ = false;
    bool pageFailed_ = false;
    // How many pages the tool may be ahead of the page being converted.
    static constexpr int kMostAhead = 64;
    int ahead_ = 1;
    // The tool at work on the range: it does the next page while this one's
    // images are converted.
    std::unique_ptr<PageTool> tool_;
};

} // namespace extract
