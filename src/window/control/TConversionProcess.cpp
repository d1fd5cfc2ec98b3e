#include "control/TConversionProcess.h"

#include "extract/ExtractionJob.h"

#include <QPointer>
#include <exception>
#include <optional>
#include <stdexcept>
#include <utility>
#include <variant>

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

// Runs `call` on the window's thread later, without waiting: a page's steps
// cost the job nothing while the window is busy. Calls keep their order,
// also with the waiting ones.
template <class Call> void TConversionProcess::Post(Call call) {
    if (detached_)
        return;
    QMetaObject::invokeMethod(
        windowContext_,
        [self = QPointer<TConversionProcess>(this), call = std::move(call)] {
            if (!self || self->detached_)
                return;
            try {
                call();
            } catch (...) {
                if (!self->postedFailure_)
                    self->postedFailure_ = std::current_exception();
            }
        },
        Qt::QueuedConnection);
}

JobRequest TConversionProcess::BeginJob() {
    std::optional<JobRequest> request;
    OnWindow([&] { request = window_.BeginJob(); });
    // The window went before it said what to do: nothing is.
    if (!request)
        throw std::runtime_error("The window was closed before the extraction began.");
    return *request;
}

// The end of a job shows its boxes: the job waits for them. Everything else
// is a copy for the window to show when it comes to it.
void TConversionProcess::Tell(const JobEvent& event) {
    if (std::holds_alternative<JobFinished>(event)) {
        OnWindow([&] { window_.Tell(event); });
        // The calls posted before were served before this one: what one of
        // them threw fails the job as it would have in place.
        if (postedFailure_)
            std::rethrow_exception(std::exchange(postedFailure_, nullptr));
    } else if (std::holds_alternative<JobFailed>(event)) {
        OnWindow([&] { window_.Tell(event); });
    } else
        Post([&window = window_, event] { window.Tell(event); });
}

void TConversionProcess::EndJob() {
    OnWindow([&] { window_.EndJob(); });
}

} // namespace extract
