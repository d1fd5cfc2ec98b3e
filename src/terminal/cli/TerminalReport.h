// How a job looks on a terminal: a progress bar on standard error that
// redraws itself, or plain lines when standard error is not a terminal.
#pragma once

#include "extract/ExtractionJob.h"

#include <chrono>
#include <cstdio>

namespace cli {

class TerminalReport : public extract::ExtractionObserver {
public:
    TerminalReport(extract::JobSettings settings, std::FILE* out, bool terminal);

    extract::JobSettings BeginExtractionUi() override;
    void SetProgressRange(int maximum) override;
    void StepProgress() override;
    void ShowExtractionError(const std::string& message) override;
    void ShowNoImagesFound() override;
    void EndExtractionUi() override;
    void OpenOutputFolder(const std::string& folder) override;
    void ImageConverted(int number, bool saved) override;

    int ImagesWritten() const { return written_; }
    int ImagesFailed() const { return failed_; }

    // "page 3 of 10, 12 images, 0:03 elapsed, 0:07 left"
    static std::string ProgressLine(int pagesDone, int pages, int images,
                                    std::chrono::seconds elapsed);

private:
    void Draw();
    void DrawPending();
    void Say(const std::string& message);

    extract::JobSettings settings_;
    std::FILE* out_;
    bool terminal_;
    int steps_ = 0;
    int maximum_ = 0;
    int written_ = 0;
    int failed_ = 0;
    bool barShown_ = false;
    bool pagePending_ = false;
    std::chrono::steady_clock::time_point start_;
};

} // namespace cli
