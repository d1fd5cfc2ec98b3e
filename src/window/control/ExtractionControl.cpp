#include "control/ExtractionControl.h"

#include "control/ChosenPictures.h"
#include "control/TConversionProcess.h"
#include "extract/PageRange.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "text/IntegerText.h"
#include "text/TextRules.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/PathEdits.h"
#include "toolkit/Pictures.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

namespace extract {

ExtractionControl::ExtractionControl(ExtractionControls controls, ExtractionState state)
    : controls_(std::move(controls)), state_(state) {}

ExtractionControl::~ExtractionControl() {
    Abandon();
}

void ExtractionControl::Abandon() {
    if (!worker_)
        return;
    worker_->Detach();
    // A worker waiting in a call onto the window is let go: the call finds
    // it detached and returns at once.
    while (worker_ && !worker_->wait(20))
        QCoreApplication::processEvents();
    state_.running = false;
}

// --- starting and stopping ---------------------------------------------------

void ExtractionControl::StartOrStop() {
    if (state_.running) {
        AskToStop();
        return;
    }
    if (worker_)
        return; // stopping: the worker ends after its page
    if (StartChecksPass()) {
        chosen_.clear();
        StartWorker();
    }
}

bool ExtractionControl::StartChosen(std::vector<PicturePlace> pictures) {
    if (state_.running || worker_ || pictures.empty() || !StartChecksPass())
        return false;
    chosen_ = std::move(pictures);
    StartWorker();
    return true;
}

// The job sees the answer before its next page; the window keeps its
// extracting look until the job has ended.
void ExtractionControl::AskToStop() {
    if (toolkit::ShowMessage(controls_.window, toolkit::BoxType::Confirm,
                             tr("Are you sure you want to cancel the extraction?"),
                             toolkit::ButtonSet::YesNo) == toolkit::Answer::Yes)
        state_.running = false;
}

bool ExtractionControl::StartChecksPass() {
    const std::string input = toolkit::ToProgramText(controls_.input->text());
    const std::string output = toolkit::ToProgramText(controls_.output->text());
    if (text::Trim(input).empty()) {
        toolkit::ShowMessage(controls_.window, toolkit::BoxType::Warning,
                             tr("Please specify the input PDF file!"));
        return false;
    }
    if (text::Trim(output).empty()) {
        toolkit::ShowMessage(controls_.window, toolkit::BoxType::Warning,
                             tr("Please specify the output folder!"));
        return false;
    }
    return ReplaceAllowed(output);
}

// An output name taken by a file is asked about; an existing folder is not.
// Only an explicit No keeps the job from starting.
bool ExtractionControl::ReplaceAllowed(const std::string& output) {
    if (!platform::FileExists(output) || platform::FolderExists(output))
        return true;
    const QString question =
        tr("%1 already exists.\r\n\r\nDo you want to replace it?").arg(controls_.output->text());
    return toolkit::ShowMessage(controls_.window, toolkit::BoxType::Confirm, question,
                                toolkit::ButtonSet::YesNo) != toolkit::Answer::No;
}

void ExtractionControl::StartWorker() {
    // Set before the worker exists, so that a click while it starts asks
    // the stop question instead of starting a second job.
    state_.running = true;
    emit jobStarting();
    worker_ =
        new TConversionProcess(*this, this, state_.running, state_.toolFolder, state_.workFolder);
    worker_->setParent(this);
    connect(worker_, &TConversionProcess::jobEnded, this,
            [this](bool stopped) { ShowOutcome(written_, stopped); });
    connect(worker_, &QThread::finished, worker_, &QObject::deleteLater);
    worker_->start();
}

// --- the window while a job runs ---------------------------------------------

void ExtractionControl::SetExtractingLook(bool extracting) {
    const bool enabled = !extracting;
    for (QMenu* menu : controls_.menus) {
        // A disabled menu must also silence its items' shortcuts.
        menu->menuAction()->setEnabled(enabled);
        for (QAction* action : menu->actions())
            action->setEnabled(enabled);
    }
    for (QWidget* control : controls_.settings)
        control->setEnabled(enabled);
    controls_.gauge->setTextVisible(extracting);
    controls_.gauge->setValue(0);
    controls_.start->setIcon(extracting ? toolkit::StopGlyph() : toolkit::StartGlyph());
    controls_.start->setText(extracting ? tr("Stop Extraction") : tr("Start Extraction"));
    emit extractingChanged(extracting);
}

// The line says what came of the job; a long folder is shortened in its
// middle, and the whole line is its hint and what a reader speaks.
void ExtractionControl::ShowOutcome(int written, bool stopped) {
    QString line;
    if (stopped)
        line =
            written == 1 ? tr("Stopped after 1 image") : tr("Stopped after %n images", "", written);
    else if (written == 0)
        line = tr("No images written");
    else if (written == 1)
        line = tr("1 image written to %1").arg(outputFolder_);
    else
        line = tr("%n images written to %1", "", written).arg(outputFolder_);
    line += rangeNote_;
    QLabel* label = controls_.outcome;
    label->setText(label->fontMetrics().elidedText(line, Qt::ElideMiddle, label->width()));
    label->setToolTip(line);
    label->setAccessibleName(line);
    controls_.gauge->hide();
    label->show();
}

// --- the job's calls ---------------------------------------------------------

JobRequest ExtractionControl::BeginJob() {
    written_ = 0;
    failures_.clear();
    return BeginExtractionUi();
}

void ExtractionControl::Tell(const JobEvent& event) {
    std::visit(
        [this](const auto& e) {
            using Event = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Event, PageBegun> || std::is_same_v<Event, PageDone>)
                StepProgress();
            else if constexpr (std::is_same_v<Event, ImageWritten>)
                ++written_;
            else if constexpr (std::is_same_v<Event, ImageFailed>)
                failures_.push_back(NamedFailure(e.failure));
            else if constexpr (std::is_same_v<Event, JobFinished>) {
                ShowFailures(e);
                if (e.after == AfterJob::NoImagesFound)
                    ShowNoImagesFound();
                else if (e.after == AfterJob::OpenFolder)
                    OpenOutputFolder(outputPath_);
            } else if constexpr (std::is_same_v<Event, JobFailed>) {
                EndExtractionUi();
                ShowExtractionError(toolkit::ProgramMessage(toolkit::FromProgramText(e.message)));
            }
        },
        event);
}

void ExtractionControl::EndJob() {
    EndExtractionUi();
}

// The whole document stands in for a range that does not fit it; the
// status line says so, and which pages that was.
QString ExtractionControl::RangeNote(const QString& typed, const PageSpan& span) {
    const QString first = QString::number(span.first);
    if (span.first == span.last)
        return tr("; the range %1 did not fit the document, so page %2 was extracted")
            .arg(typed, first);
    return tr("; the range %1 did not fit the document, so pages %2-%3 were extracted")
        .arg(typed, first, QString::number(span.last));
}

// The pages as the window reads its boxes: a range that does not fit means
// the whole document, and one the gauge cannot count is refused. A job over
// chosen pictures covers their pages whatever the range says.
JobRequest ExtractionControl::BeginExtractionUi() {
    SetExtractingLook(true);
    controls_.outcome->hide();
    controls_.gauge->show();
    outputFolder_ = controls_.output->text();
    outputPath_ = toolkit::ToProgramText(outputFolder_);
    JobRequest request;
    request.inputPath = toolkit::ToProgramText(controls_.input->text());
    rangeNote_.clear();
    if (chosen_.empty()) {
        const std::int32_t pageCount =
            text::StrToInt(toolkit::ToProgramText(controls_.pageCount->text()));
        const PageSpan span =
            ParsePageRange(toolkit::ToProgramText(controls_.pageRange->text()), pageCount);
        request.firstPage = span.first;
        request.lastPage = span.last;
        if (span.replaced)
            rangeNote_ = RangeNote(controls_.pageRange->text().trimmed(), span);
    } else {
        request = OnlyThese(std::move(request), chosen_);
    }
    // Each page is two steps of the gauge: begun and done.
    const long long steps = (static_cast<long long>(request.lastPage) - request.firstPage + 1) * 2;
    if (steps < 0 || steps > INT32_MAX)
        throw std::out_of_range("Value must be between 1 and 2147483647");
    controls_.gauge->setMaximum(static_cast<int>(steps));
    request.password = state_.password;
    request.openAfter = controls_.openAfter->isChecked();
    request.conversion.formatText = toolkit::ToProgramText(controls_.format->currentText());
    request.conversion.outputFolder = outputPath_;
    request.conversion.prefix = toolkit::ToProgramText(controls_.prefix->text());
    return request;
}

void ExtractionControl::StepProgress() {
    QProgressBar* gauge = controls_.gauge;
    gauge->setValue(std::min(gauge->value() + 1, gauge->maximum()));
}

// The box names each picture that failed, the first few of them.
void ExtractionControl::ShowFailures(const JobFinished& finished) {
    if (finished.failed == 0)
        return;
    const std::string list = ListFailures(failures_, "\r\n", [](std::size_t more) {
        return toolkit::ToProgramText(tr("and %n more", "", static_cast<int>(more)));
    });
    ShowExtractionError(tr("Some errors occured during the extraction process!") + "\r\n\r\n" +
                        toolkit::FromProgramText(list));
}

void ExtractionControl::ShowExtractionError(const QString& message) {
    toolkit::ShowMessage(controls_.window, toolkit::BoxType::Error, message);
}

void ExtractionControl::ShowNoImagesFound() {
    toolkit::ShowMessage(controls_.window, toolkit::BoxType::Warning,
                         tr("No images found in selected PDF!"));
}

void ExtractionControl::EndExtractionUi() {
    SetExtractingLook(false);
}

void ExtractionControl::OpenOutputFolder(const std::string& folder) {
    if (!platform::OpenWithShell(folder))
        toolkit::ShowMessage(controls_.window, toolkit::BoxType::Information,
                             tr("The folder could not be opened.\r\n\r\nThe images are in:\r\n%1")
                                 .arg(toolkit::FromProgramText(folder)));
}

} // namespace extract
