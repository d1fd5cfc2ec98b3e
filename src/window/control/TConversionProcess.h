// The window's extraction worker: runs one job on a thread of its own and
// makes every call onto the window on the window's thread, waiting for it.
#pragma once

#include "extract/ExtractionJob.h"

#include <QThread>
#include <atomic>

namespace extract {

class TConversionProcess : public QThread, private ExtractionObserver {
    Q_OBJECT
public:
    // `window` is called on the thread of `windowContext`.
    TConversionProcess(ExtractionObserver& window, QObject* windowContext,
                       std::atomic<bool>& running, std::string toolFolder, std::string workFolder);

    // The window is going away: from now on nothing is shown, and the job
    // stops before its next page.
    void Detach();

    // The last message shown and the gauge's maximum, as the job set them.
    std::string ErrorText;
    int ProgressMax = 0;

signals:
    // The job is over, unless the window went first: how many images it
    // wrote, and whether a stop ended it.
    void jobEnded(int written, bool stopped);

protected:
    void run() override;

private:
    JobSettings BeginExtractionUi() override;
    void SetProgressRange(int maximum) override;
    void StepProgress() override;
    void ShowExtractionError(const std::string& message) override;
    void ShowNoImagesFound() override;
    void EndExtractionUi() override;
    void OpenOutputFolder(const std::string& folder) override;
    void ImageConverted(int number, Converted outcome, const std::string& target,
                        const OutputProblem& problem) override;

    template <class Call> void OnWindow(Call call);

    ExtractionObserver& window_;
    QObject* windowContext_;
    std::atomic<bool>& running_;
    std::atomic<bool> detached_{false};
    std::string toolFolder_;
    std::string workFolder_;
    int written_ = 0; // read and written on the job's thread only
};

} // namespace extract
