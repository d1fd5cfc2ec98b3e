#include "control/TConversionProcess.h"

#include "extract/ExtractionJob.h"

#include <exception>
#include <optional>
#include <stdexcept>

namespace extract {

TConversionProcess::TConversionProcess(JobSink& window, QObject* windowContext,
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
        emit jobEnded(end == JobEnd::Stopped);
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

JobRequest TConversionProcess::BeginJob() {
    std::optional<JobRequest> request;
    OnWindow([&] { request = window_.BeginJob(); });
    // The window went before it said what to do: nothing is.
    if (!request)
        throw std::runtime_error("The window was closed before the extraction began.");
    return *request;
}

void TConversionProcess::Tell(const JobEvent& event) {
    OnWindow([&] { window_.Tell(event); });
}

void TConversionProcess::EndJob() {
    OnWindow([&] { window_.EndJob(); });
}

} // namespace extract
