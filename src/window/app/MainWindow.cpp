// The main window's handlers: start-up and shutdown, the path edits and
// document inspection, the extraction, and the links out of the program.
#include "app/MainWindow.h"

#include "about/Promotion.h"
#include "about/UnitAboutDialog.h"
#include "app/AppContext.h"
#include "app/RegistryAccess.h"
#include "control/ExtractionControl.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "extract/PageRange.h"
#include "inspect/DocumentInspection.h"
#include "inspect/ExecuteCMD.h"
#include "online/CheckForNewVersion.h"
#include "online/ProLauncher.h"
#include "picker/PickerWindow.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "prompts/InspectionPrompts.h"
#include "text/IntegerText.h"
#include "text/TextRules.h"
#include "toolkit/ClickableLabel.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Fonts.h"
#include "toolkit/Hints.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/PathEdits.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <stdexcept>

namespace app {

namespace {

QString InputClearedHint() {
    return TMainForm::tr("Click here to select input PDF file");
}
QString OutputEmptyHint() {
    return TMainForm::tr("Click here to specify the output folder");
}

// A folder, a pipe or a device: the information tool would wait on a pipe
// for as long as nobody writes into it, so such a thing is never handed on.
// What is missing is left to the tool, which says so in its own words.
bool NoOrdinaryFile(const std::string& path) {
    return platform::LookUpPath(path).kind == platform::PathState::Kind::Reached &&
           !platform::FileExists(path);
}

// No side of a thumbnail is longer: small enough that thousands of them
// fit in memory, large enough to tell photographs apart.
constexpr int kThumbnailSize = 128;

bool SameReading(const extract::PickerRequest& a, const extract::PickerRequest& b) {
    return a.inputPath == b.inputPath && a.firstPage == b.firstPage && a.lastPage == b.lastPage &&
           a.password == b.password && a.formatText == b.formatText;
}

QString NoOrdinaryFileText(const QString& shown) {
    return TMainForm::tr("This is not an ordinary file, so it cannot be opened:\r\n%1").arg(shown);
}

} // namespace

TMainForm::TMainForm(AppContext& context, QWidget* parent)
    : QMainWindow(parent), context_(context) {
    setObjectName(QStringLiteral("MainForm"));
    BuildWindow();
    BuildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    BuildExtractionControl();
    WireHandlers();
    FormCreate();
}

TMainForm::~TMainForm() {
    // A running job ends first: it must not write into the scratch folder
    // while that is emptied.
    extraction_->Abandon();
    // The picker's tool ends and its folders go before the scratch folder.
    delete picker_.data();
    EmptyWorkFolder();
    if (!folderOfThisRun_.empty())
        platform::RemoveFolder(folderOfThisRun_);
}

// --- start-up and shutdown ---------------------------------------------------

void TMainForm::FormCreate() {
    context_.appFolder = text::ExtractFilePath(platform::ExecutablePath());

    // Another user's folder of that name is left alone: this run then has
    // one of its own beside it, taken away at the end. Such folders of
    // runs that ended by force, and what a killed run left in the shared
    // one, go now.
    extract::RemoveLeftByEndedRuns(platform::TempFolder(), std::string(kProductName) + "-", true);
    const std::string wanted = platform::TempFolder() + platform::PathSeparator() + kProductName;
    const std::string scratch = platform::OwnScratchFolder(wanted);
    context_.workFolder = scratch.empty() ? std::string{} : platform::WithSeparator(scratch);
    if (!scratch.empty() && scratch != wanted)
        folderOfThisRun_ = scratch;
    EmptyWorkFolder();

    CheckInstallRecord();

    setWindowTitle(QString::fromLatin1(kProductName));
    context_.websiteDomain = kVendorDomain;
    sLabelFXWebpage->setText(toolkit::FromProgramText(context_.websiteDomain));
    sLabelFXWebpage->adjustSize();
    context_.feedbackAddress = std::string(kFeedbackMailbox) + context_.websiteDomain;
    sComboBoxFormatChange();
    ResizeMainForm();

    versionCheck_ = online::TCheckForNewVersionProcess::Start(
        {context_.version, online::VendorAddress(context_.websiteDomain), this,
         [] { QCoreApplication::quit(); }});
}

void TMainForm::CheckInstallRecord() {
    try {
        context_.version = ReadInstallVersion(kProductName);
        if (context_.version.empty())
            throw std::runtime_error("Could not determinated the application's\r\nversion "
                                     "number!\r\n\r\nPlease re-install this software!");
        context_.website = ReadInstallWebsite(kProductName);
        if (context_.website.empty())
            throw std::runtime_error("Could not determinated the application's\r\nwebsite!"
                                     "\r\n\r\nPlease re-install this software!");
    } catch (const std::exception& e) {
        toolkit::ShowMessage(
            nullptr, toolkit::BoxType::Error,
            toolkit::ProgramMessage(toolkit::FromProgramText(std::string(e.what()) + "\r\n")));
        terminating_ = true;
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    }
}

void TMainForm::EmptyWorkFolder() {
    const std::string& folder = context_.workFolder;
    if (folder.empty())
        return;
    for (const std::string& name : platform::ListFiles(folder, "*.*"))
        platform::RemoveFile(folder + name);
}

void TMainForm::FormDestroy() {
    EmptyWorkFolder();
    close();
}

// --- the window's own handlers -----------------------------------------------

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    toolkit::Guarded(this, [this] { ResizeMainForm(); });
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    toolkit::Guarded(this, [this] { ResizeMainForm(); });
}

void TMainForm::ResizeMainForm() {
    const int right = frameGeometry().width() - 20;
    FitWebLabel(right - (webPanel_->x() + webPanel_->frameWidth()));
    sLabelFXWebpage->move(right - sLabelFXWebpage->width(), sLabelFXWebpage->y());
}

void TMainForm::FitWebLabel(int room) {
    // A long address is drawn narrower rather than across the gauge's panel.
    for (const QFont& face : toolkit::NarrowingFaces(toolkit::PointFont(font(), 8, true))) {
        sLabelFXWebpage->setFont(face);
        sLabelFXWebpage->adjustSize();
        if (sLabelFXWebpage->width() <= room)
            return;
    }
}

// --- document inspection -----------------------------------------------------

void TMainForm::sFilenameEditInputChange() {
    // The picker shows the pictures of the document that was.
    if (picker_)
        picker_->close();
    raise();
    activateWindow();
    const std::string path = toolkit::ToProgramText(sFilenameEditInput->text());
    if (!inspect::IsPdfName(path)) {
        InputReset();
        sBitBtnStart->setFocus();
        return;
    }
    if (NoOrdinaryFile(path)) {
        InputReset();
        sBitBtnStart->setFocus();
        toolkit::ShowMessage(this, toolkit::BoxType::Warning,
                             NoOrdinaryFileText(toolkit::FromProgramText(path)));
        return;
    }
    const inspect::InformationTool tool = [this](const std::vector<std::string>& arguments) {
        return inspect::RunConsoleTool(inspect::kInformationTool, arguments, context_.appFolder,
                                       inspect::kInspectionTimeLimit);
    };
    inspect::InspectionPrompts prompts(this);
    const inspect::InspectionResult result =
        inspect::InspectDocument(path, tool, prompts, context_.documentPassword);
    if (result.found) {
        sEditPageCount->setText(QString::number(result.pageCount));
        toolkit::SetHint(sFilenameEditInput, sFilenameEditInput->text());
        if (AutoSetOutputFolder->isChecked())
            for (const std::string& folder : inspect::AutoOutputFolderSteps(path))
                sDirectoryEditOutput->setText(toolkit::FromProgramText(folder));
    } else {
        InputReset();
    }
    sBitBtnStart->setFocus();
}

void TMainForm::InputReset() {
    sFilenameEditInput->setText(QString());
    toolkit::SetHint(sFilenameEditInput, InputClearedHint());
    sEditPageCount->clear();
    sEditPageRange->clear();
}

// The start button takes the focus before the picker opens, so that the
// window is ready to start once a path is chosen.
void TMainForm::BrowseFromStart(toolkit::PathEdit* edit) {
    sBitBtnStart->setFocus();
    edit->pressBrowseButton();
}

void TMainForm::sFilenameEditInputClick() {
    InputReset();
    BrowseFromStart(sFilenameEditInput);
}

void TMainForm::InputPDFClick() {
    sFilenameEditInput->pressBrowseButton();
}

void TMainForm::sFilenameEditInputAfterDialog() {
    sBitBtnStart->setFocus();
}

void TMainForm::sDirectoryEditOutputClick() {
    sDirectoryEditOutput->setText(QString());
    toolkit::SetHint(sDirectoryEditOutput, OutputEmptyHint());
    BrowseFromStart(sDirectoryEditOutput);
}

void TMainForm::OutputFolderClick() {
    sDirectoryEditOutput->pressBrowseButton();
}

void TMainForm::sDirectoryEditOutputAfterDialog() {
    sBitBtnStart->setFocus();
}

void TMainForm::sDirectoryEditOutputChange() {
    raise();
    activateWindow();
    const QString folder = sDirectoryEditOutput->text();
    const bool blank = text::Trim(toolkit::ToProgramText(folder)).empty();
    toolkit::SetHint(sDirectoryEditOutput, blank ? OutputEmptyHint() : folder);
    sBitBtnStart->setFocus();
}

void TMainForm::sButtonOpenPDFClick() {
    if (!sFilenameEditInput->text().isEmpty())
        platform::OpenWithShell(toolkit::ToProgramText(sFilenameEditInput->text()));
}

void TMainForm::sButtonOpenFolderClick() {
    if (!sDirectoryEditOutput->text().isEmpty())
        platform::OpenWithShell(toolkit::ToProgramText(sDirectoryEditOutput->text()));
}

bool TMainForm::TakeDocument(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (refusalShown_)
        return false;
    if (takingDocument_ || WorkerExists() || QApplication::activeModalWidget()) {
        RefuseDocument(tr("%1 is busy and cannot open this document now:\r\n%2")
                           .arg(QString::fromLatin1(kProductName), shown));
        return false;
    }
    if (NoOrdinaryFile(toolkit::ToProgramText(shown))) {
        RefuseDocument(NoOrdinaryFileText(shown));
        return false;
    }
    // Taken once the caller is answered: taking may ask questions in boxes.
    takingDocument_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, shown] {
            takingDocument_ = false;
            toolkit::Guarded(this, [&] {
                if (isMinimized())
                    showNormal();
                sFilenameEditInput->setText(shown);
            });
        },
        Qt::QueuedConnection);
    return true;
}

// One box at a time, whatever the number of documents refused meanwhile.
void TMainForm::RefuseDocument(const QString& message) {
    refusalShown_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            toolkit::Guarded(
                this, [&] { toolkit::ShowMessage(this, toolkit::BoxType::Warning, message); });
            refusalShown_ = false;
        },
        Qt::QueuedConnection);
}

void TMainForm::AutoSetOutputFolderClick() {
    // The item keeps its own check mark; inspection reads it.
}

void TMainForm::ExitClick() {
    FormDestroy();
}

// --- extraction --------------------------------------------------------------

bool TMainForm::WorkerExists() const {
    return extraction_->WorkerExists();
}

void TMainForm::StartConversion1Click() {
    sBitBtnStart->click();
}

void TMainForm::sBitBtnStartClick() {
    extraction_->StartOrStop();
}

void TMainForm::sComboBoxFormatChange() {
    const extract::FormatHint hint =
        extract::HintForFormat(toolkit::ToProgramText(sComboBoxFormat->currentText()));
    if (hint.shown)
        toolkit::SetHint(sComboBoxFormat,
                         toolkit::ProgramMessage(toolkit::FromProgramText(hint.text)));
    toolkit::ShowHint(sComboBoxFormat, hint.shown);
    if (picker_)
        picker_->SetFormat(toolkit::ToProgramText(sComboBoxFormat->currentText()));
}

// The picker opens on the document, range, password and format the job
// would use; the same choice again brings the open picker forward.
void TMainForm::PickPicturesClick() {
    const std::string input = toolkit::ToProgramText(sFilenameEditInput->text());
    if (text::Trim(input).empty()) {
        toolkit::ShowMessage(this, toolkit::BoxType::Warning,
                             tr("Please specify the input PDF file!"));
        return;
    }
    const extract::PageSpan span =
        extract::ParsePageRange(toolkit::ToProgramText(sEditPageRange->text()),
                                text::StrToInt(toolkit::ToProgramText(sEditPageCount->text())));
    extract::PickerRequest request;
    request.inputPath = input;
    request.firstPage = span.first;
    request.lastPage = span.last;
    request.password = context_.documentPassword;
    request.formatText = toolkit::ToProgramText(sComboBoxFormat->currentText());
    request.thumbnailSize = kThumbnailSize;
    if (picker_ && !SameReading(picker_->Request(), request))
        delete picker_.data();
    if (!picker_) {
        picker::PickerSetup setup;
        setup.request = std::move(request);
        setup.toolFolder = context_.appFolder;
        setup.scratchBase = context_.workFolder;
        setup.save = [this](std::vector<extract::PicturePlace> chosen) {
            return extraction_->StartChosen(std::move(chosen));
        };
        setup.job = [this] {
            extract::JobRequest job;
            job.conversion.formatText = toolkit::ToProgramText(sComboBoxFormat->currentText());
            job.conversion.prefix = toolkit::ToProgramText(sEditOutputPrefix->text());
            return job;
        };
        setup.saving = [this] { return WorkerExists(); };
        picker_ = new picker::PickerWindow(std::move(setup), this);
    }
    picker_->showNormal();
    picker_->raise();
    picker_->activateWindow();
}

// --- information and promotion -----------------------------------------------

void TMainForm::About1Click() {
    about::TAboutDialog dialog(nullptr);
    const QString description =
        QCoreApplication::translate("about::TAboutDialog", about::kAboutDescription);
    dialog.SetAboutInfo(kProductName, context_.version, toolkit::ToProgramText(description),
                        "http://" + context_.websiteDomain + "/");
    dialog.move(frameGeometry().center() - dialog.rect().center());
    const about::AboutChoice choice = dialog.ShowAboutDialog();
    if (choice == about::AboutChoice::Website)
        platform::OpenWithShell(context_.website);
    else if (choice == about::AboutChoice::Licence)
        platform::OpenWithShell(about::kLicenceAddress);
}

void TMainForm::WebsiteClick() {
    platform::OpenWithShell(context_.website);
}

void TMainForm::ClickWebpageFX() {
    platform::OpenWithShell(context_.website);
}

void TMainForm::Image1Click() {
    platform::OpenWithShell(about::SocialAddress(context_.website));
}

void TMainForm::Feedback1Click() {
    about::OpenAfterConfirm(this, about::FeedbackText(), context_.feedbackAddress);
}

void TMainForm::Howtoextracttextcontent1Click() {
    about::OpenAfterConfirm(this, about::SiblingProductText(),
                            about::SiblingProductAddress(context_.websiteDomain));
}

void TMainForm::Donate1Click() {
    about::OpenAfterConfirm(this, about::DonationText(kProductName),
                            about::DonationAddress(context_.websiteDomain));
}

void TMainForm::ImageDonateClick() {
    Donate1Click();
}

// --- online ------------------------------------------------------------------

void TMainForm::sBitBtnPlayVideoClick() {
    platform::OpenWithShell(context_.website + "?playvideo");
}

void TMainForm::Videotutorial1Click() {
    sBitBtnPlayVideoClick();
}

void TMainForm::sBitBtnGetProClick() {
    online::StartProVersion(this, online::VendorAddress(context_.websiteDomain));
}

void TMainForm::GetProVersion1Click() {
    sBitBtnGetProVersion->click();
}

} // namespace app
