// The window's extraction worker: runs one job on a thread of its own and
// hands every call of the job to the window on the window's thread. It
// waits for the window only where the job needs its answer or a box may
// ask the user something; what the job merely tells is posted.
#pragma once

#include "extract/JobSink.h"

#include <QThread>
#include <atomic>
#include <exception>

namespace extract {

class TConversionProcess : public QThread, private JobSink {
    Q_OBJECT
public:
    // `window` is called on the thread of `windowContext`.
    TConversionProcess(JobSink& window, QObject* windowContext, std::atomic<bool>& running,
                       std::string toolFolder, std::string workFolder);

    // The window is going away: from now on nothing is shown, and the job
    // stops before its next page.
    void Detach();

signals:
    // The job is over, unless the window went first: whether a stop ended
    // it.
    void jobEnded(bool stopped);

protected:
    void run() override;

private:
    JobRequest BeginJob() override;
    void Tell(const JobEvent& event) override;
    void EndJob() override;

    template <class Call> void OnWindow(Call call);
    template <class Call> void Post(Call call);

    JobSink& window_;
    QObject* windowContext_;
    std::atomic<bool>& running_;
    std::atomic<bool> detached_{false};
    std::string toolFolder_;
    std::string workFolder_;
    // What a posted call threw, raised in the job at its next waiting call.
    // Written on the window's thread before that call is served, read after.
    std::exception_ptr postedFailure_;
};

} // namespace extract
