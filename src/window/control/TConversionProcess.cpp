#include "control/TConversionProcess.h"

#include <exception>

namespace extract {

TConversionProcess::TConversionProcess(ExtractionObserver& window, QObject* windowContext,
                                       std::atomic<bool>& running, std::string toolFolder,
                                       std::string workFolder)
    : window_(window), windowContext_(windowContext), running_(running),
      toolFolder_(std::move(toolFolder)), workFolder_(std::move(workFolder)) {}

void TConversionProcess::Detach() {
    detached_ = true;
    running_ = false;
}

void TConversionProcess::run() {
    // Once the window is gone nobody waits for the page either.
    ExtractionJob job(*this, running_, toolFolder_, workFolder_, &detached_);
    const JobEnd end = job.Run();
    if (!detached_)
        emit jobEnded(written_, end == JobEnd::Stopped);
}

// Runs `call` on the window's thread and waits for it, message boxes
// included; what it throws is thrown again here, in the job.
template <class Call> void TConversionProcess::OnWindow(Call call) {
    if (detached_)
        return;
    std::exception_ptr failure;
    QMetaObject::invokeMethod(
        windowContext_,
        [&] {
            if (detached_)
                return;
            try {
                call();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (failure)
        std::rethrow_exception(failure);
}

JobSettings TConversionProcess::BeginExtractionUi() {
    JobSettings settings;
    OnWindow([&] { settings = window_.BeginExtractionUi(); });
    return settings;
}

void TConversionProcess::SetProgressRange(int maximum) {
    ProgressMax = maximum;
    OnWindow([&] { window_.SetProgressRange(maximum); });
}

void TConversionProcess::StepProgress() {
    OnWindow([&] { window_.StepProgress(); });
}

void TConversionProcess::ShowExtractionError(const std::string& message) {
    ErrorText = message;
    OnWindow([&] { window_.ShowExtractionError(message); });
}

void TConversionProcess::ShowNoImagesFound() {
    OnWindow([&] { window_.ShowNoImagesFound(); });
}

void TConversionProcess::EndExtractionUi() {
    OnWindow([&] { window_.EndExtractionUi(); });
}

void TConversionProcess::OpenOutputFolder(const std::string& folder) {
    OnWindow([&] { window_.OpenOutputFolder(folder); });
}

} // namespace extract

namespace extract {

void TConversionProcess::ImageConverted(int, Converted outcome, const std::string&,
                                        const OutputProblem&) {
    if (outcome == Converted::Written)
        ++written_;
}

} // namespace extract
