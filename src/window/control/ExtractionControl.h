// Starting and stopping the window's extraction: the checks before a
// start, the stop question, the window's extracting look, and the one
// worker with its lifetime.
#pragma once

#include "extract/JobSink.h"
#include "extract/PageRange.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QWidget;

namespace toolkit {
class PathEdit;
}

namespace extract {

class TConversionProcess;

// The window's controls that a job reads, switches and moves. They belong
// to the window, which outlives the control.
struct ExtractionControls {
    QWidget* window = nullptr; // the boxes are centred on it
    toolkit::PathEdit* input = nullptr;
    QLineEdit* pageCount = nullptr;
    QLineEdit* pageRange = nullptr;
    toolkit::PathEdit* output = nullptr;
    QLineEdit* prefix = nullptr;
    QComboBox* format = nullptr;
    QCheckBox* openAfter = nullptr;
    QProgressBar* gauge = nullptr;
    QLabel* outcome = nullptr; // stands where the gauge does once a job has ended
    QPushButton* start = nullptr;
    // Switched off while a job runs; the start button stays on to stop it.
    std::vector<QMenu*> menus;
    std::vector<QWidget*> settings;
};

// The program's state that a job shares, read each time one starts: the
// folders may be set after the control is made.
struct ExtractionState {
    std::atomic<bool>& running;
    const std::string& password;
    const std::string& toolFolder; // holds glimmet.bin
    const std::string& workFolder; // the scratch folder, with a final separator
};

class ExtractionControl : public QObject, private JobSink {
    Q_OBJECT
public:
    ExtractionControl(ExtractionControls controls, ExtractionState state);
    ~ExtractionControl() override;

    // The window is going: a running job is told to stop at once and waited
    // for, and shows nothing more.
    void Abandon();

    // The start button: a job runs after the checks, or the running one is
    // asked to stop.
    void StartOrStop();

    // A job over just these pictures of the window's document, after the
    // same checks as a whole one, with its pages narrowed to theirs; the
    // range typed plays no part. False when none started: one is running,
    // or a check stopped it.
    bool StartChosen(std::vector<PicturePlace> pictures);

    // True while a worker exists, stopping or not.
    bool WorkerExists() const { return !worker_.isNull(); }

signals:
    // A worker is about to start; whatever else uses the image library
    // must be done with it by the time this returns.
    void jobStarting();
    // The window took its extracting look, or its idle look again.
    void extractingChanged(bool extracting);

private:
    void AskToStop();
    bool StartChecksPass();
    bool ReplaceAllowed(const std::string& output);
    void StartWorker();
    void SetExtractingLook(bool extracting);
    void ShowOutcome(int written, bool stopped);
    static QString RangeNote(const QString& typed, const PageSpan& span);

    // The job's calls, made on the window's thread.
    JobRequest BeginJob() override;
    void Tell(const JobEvent& event) override;
    void EndJob() override;

    JobRequest BeginExtractionUi();
    void StepProgress();
    void ShowFailures(const JobFinished& finished);
    void ShowExtractionError(const QString& message);
    void ShowNoImagesFound();
    void EndExtractionUi();
    void OpenOutputFolder(const std::string& folder);

    ExtractionControls controls_;
    ExtractionState state_;
    // A child of this control: it frees itself when its job ends, and a
    // worker still alive at the end goes with the control.
    QPointer<TConversionProcess> worker_;
    // Of the job that runs or ran last: its folder as shown and as the
    // program passes it on, what it wrote and what failed, each named.
    QString outputFolder_;
    // Said after the count when the range typed did not fit the document.
    QString rangeNote_;
    std::string outputPath_;
    int written_ = 0;
    std::vector<std::string> failures_;
    // The pictures the job that starts next is over; all when empty.
    std::vector<PicturePlace> chosen_;
};

} // namespace extract
