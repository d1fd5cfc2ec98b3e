#include "control/ExtractionControl.h"

#include "control/TConversionProcess.h"
#include "platform/Files.h"
#include "platform/Shell.h"
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
#include <utility>

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
    if (StartChecksPass())
        StartWorker();
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
    worker_ =
        new TConversionProcess(*this, this, state_.running, state_.toolFolder, state_.workFolder);
    worker_->setParent(this);
    connect(worker_, &TConversionProcess::jobEnded, this,
            [this](int written, bool stopped) { ShowOutcome(written, stopped); });
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
    QLabel* label = controls_.outcome;
    label->setText(label->fontMetrics().elidedText(line, Qt::ElideMiddle, label->width()));
    label->setToolTip(line);
    label->setAccessibleName(line);
    controls_.gauge->hide();
    label->show();
}

JobSettings ExtractionControl::BeginExtractionUi() {
    SetExtractingLook(true);
    controls_.outcome->hide();
    controls_.gauge->show();
    outputFolder_ = controls_.output->text();
    JobSettings settings;
    settings.inputPath = toolkit::ToProgramText(controls_.input->text());
    settings.pageCountText = toolkit::ToProgramText(controls_.pageCount->text());
    settings.pageRangeText = toolkit::ToProgramText(controls_.pageRange->text());
    settings.password = state_.password;
    settings.openAfter = controls_.openAfter->isChecked();
    settings.conversion.formatText = toolkit::ToProgramText(controls_.format->currentText());
    settings.conversion.outputFolder = toolkit::ToProgramText(controls_.output->text());
    settings.conversion.prefix = toolkit::ToProgramText(controls_.prefix->text());
    return settings;
}

void ExtractionControl::SetProgressRange(int maximum) {
    controls_.gauge->setMaximum(maximum);
}

void ExtractionControl::StepProgress() {
    QProgressBar* gauge = controls_.gauge;
    gauge->setValue(std::min(gauge->value() + 1, gauge->maximum()));
}

void ExtractionControl::ShowExtractionError(const std::string& message) {
    toolkit::ShowMessage(controls_.window, toolkit::BoxType::Error,
                         toolkit::ProgramMessage(toolkit::FromProgramText(message)));
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
