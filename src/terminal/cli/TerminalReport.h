// How a job looks on a terminal: a progress bar on standard error that
// redraws itself, or plain lines when standard error is not a terminal.
#pragma once

#include "cli/Messages.h"
#include "extract/ExtractionJob.h"

#include <atomic>
#include <chrono>

namespace cli {

class TerminalReport : public extract::ExtractionObserver {
public:
    TerminalReport(extract::JobSettings settings, const Messages& messages, bool terminal,
                   bool quiet);

    extract::JobSettings BeginExtractionUi() override;
    void SetProgressRange(int maximum) override;
    void StepProgress() override;
    void ShowExtractionError(const std::string& message) override;
    void ShowNoImagesFound() override;
    void EndExtractionUi() override;
    void OpenOutputFolder(const std::string& folder) override;
    void ImageConverted(int number, extract::Converted outcome, const std::string& target,
                        const extract::OutputProblem& problem) override;
    void PageFailed(int page, const std::string& toolOutput) override;
    void PicturesLeftOut(int repeats, int small) override;

    int ImagesWritten() const { return written_; }
    int ImagesKept() const { return kept_; }
    // True when the run was stopped because the output could not be written.
    bool OutputBroken() const { return outputBroken_; }

    // "page 3 of 10, 12 images, 0:03 elapsed, 0:07 left"
    static std::string ProgressLine(int pagesDone, int pages, int images,
                                    std::chrono::seconds elapsed);
    // The bar and `line` as one terminal row of fewer than `width` columns:
    // the bar shrinks, then goes, then the line is cut.
    static std::string BarRow(int done, int pages, const std::string& line, int width);

private:
    void Draw();
    void DrawPending();
    void EndBar();
    void Say(const std::string& message);

    extract::JobSettings settings_;
    const Messages& messages_;
    std::FILE* out_;
    bool terminal_;
    bool quiet_;
    int steps_ = 0;
    int maximum_ = 0;
    int written_ = 0;
    int kept_ = 0;
    bool outputBroken_ = false;
    bool barShown_ = false;
    bool pagePending_ = false;
    std::chrono::steady_clock::time_point start_;
};

} // namespace cli
