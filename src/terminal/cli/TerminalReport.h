// How a job looks on a terminal: a progress bar on standard error that
// redraws itself, or plain lines (one a page) when standard error is not a
// terminal, and each failure named as it comes.
#pragma once

#include "cli/Messages.h"
#include "extract/JobSink.h"

#include <chrono>

namespace cli {

class TerminalReport : public extract::JobSink {
public:
    TerminalReport(extract::JobRequest request, const Messages& messages, bool terminal,
                   bool quiet);

    extract::JobRequest BeginJob() override;
    void Tell(const extract::JobEvent& event) override;
    void Waiting() override;
    void EndJob() override;

    // How the job finished; nothing counted when it never got that far.
    const extract::JobFinished& Finished() const { return finished_; }

private:
    void PageDone();
    void Finish(const extract::JobFinished& finished);
    void SayLeftOut(const extract::JobFinished& finished);
    void Show();
    void EndBar();
    void Say(const std::string& message);

    extract::JobRequest request_;
    const Messages& messages_;
    std::FILE* out_;
    bool terminal_;
    bool quiet_;
    int pages_ = 0;
    int pagesDone_ = 0;
    int written_ = 0;
    extract::JobFinished finished_;
    bool barShown_ = false;
    // Redraws come at most every kRedraw: pages of a long document can
    // come faster than a terminal, or a log, is worth writing to.
    bool drawOwed_ = false;
    std::string heldLines_; // plain lines not yet written
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point shownAt_;
};

} // namespace cli
