#include "app/MainWindow.h"

#include "about/Promotion.h"
#include "about/UnitAboutDialog.h"
#include "app/ProgramState.h"
#include "app/RegistryAccess.h"
#include "control/ExtractionControl.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "inspect/DocumentInspection.h"
#include "inspect/ExecuteCMD.h"
#include "online/CheckForNewVersion.h"
#include "online/ProLauncher.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "prompts/InspectionPrompts.h"
#include "text/TextRules.h"
#include "toolkit/ChoiceBox.h"
#include "toolkit/ClickableLabel.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Fonts.h"
#include "toolkit/Hints.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/PathEdits.h"
#include "toolkit/Pictures.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <stdexcept>

namespace app {

namespace {

constexpr int kClientWidth = 496;
constexpr int kClientHeight = 266;
constexpr int kStatusHeight = 24;
constexpr int kPicturePanelWidth = 85;

QString InputHint() {
    return TMainForm::tr("Select input PDF file");
}
QString InputClearedHint() {
    return TMainForm::tr("Click here to select input PDF file");
}
QString OutputHint() {
    return TMainForm::tr("Select output folder");
}
QString OutputEmptyHint() {
    return TMainForm::tr("Click here to specify the output folder");
}

template <class W> W* Place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* AddLabel(QWidget* parent, const QString& caption, int left, int top, const QFont& font) {
    auto* label = new QLabel(caption, parent);
    label->setFont(font);
    label->move(left, top);
    label->adjustSize();
    return label;
}

// A label that names an edit stands on the edit's text line: centred on the
// same height as the edit, whose text is centred too. Where the place before
// the edit is tight, its face narrows rather than touch the edit.
QLabel* AddNameLabel(QWidget* parent, const char* name, const QString& caption, int left,
                     QWidget* edit, QWidget* buddy = nullptr) {
    constexpr int kGap = 3;
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (const QFont& face : toolkit::NarrowingFaces(edit->font())) {
        label->setFont(face);
        if (label->sizeHint().width() <= edit->x() - left - kGap)
            break;
    }
    label->setGeometry(left, edit->y(), label->sizeHint().width(), edit->height());
    label->setBuddy(buddy ? buddy : edit);
    return label;
}

QGroupBox* AddGroup(QWidget* parent, const char* name, const QString& caption, QRect at) {
    auto* group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(name));
    // The caption is bold; what the box holds is not.
    const QFont normal = parent->font();
    group->setFont(toolkit::PointFont(normal, normal.pointSize(), true));
    group->setGeometry(at);
    return group;
}

QToolButton* AddGlyphButton(QWidget* parent, const char* name, const QIcon& glyph,
                            const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(glyph);
    button->setIconSize(QSize(16, 16));
    button->setAccessibleName(hint);
    toolkit::SetHint(button, hint);
    return button;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption, const QString& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty())
        action->setShortcut(QKeySequence(shortcut));
    return action;
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
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
    EmptyWorkFolder();
    if (!folderOfThisRun_.empty())
        platform::RemoveFolder(folderOfThisRun_);
}

template <class Handler> void TMainForm::Handle(Handler handler) {
    toolkit::Guarded(this, handler);
}

// --- building ----------------------------------------------------------------

void TMainForm::BuildWindow() {
    setWindowTitle(QString::fromLatin1(kProductName));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFont(toolkit::WindowFont());

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    setCentralWidget(client);

    Panel1 = Place(new QFrame(client), 0, 0, kPicturePanelWidth, kClientHeight - kStatusHeight);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Image1 = Place(new toolkit::ClickableLabel(Panel1), 6, 7, 73, 230);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(toolkit::BannerPicture(QSize(73, 230)));
    Image1->setAccessibleName(tr("I like it!"));
    toolkit::SetHint(Image1, tr("I like it!"));

    sPanel1 = Place(new QFrame(client), kPicturePanelWidth, 0, kClientWidth - kPicturePanelWidth,
                    kClientHeight - kStatusHeight);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    BuildInputGroup(sPanel1);
    BuildOutputGroup(sPanel1);

    sBitBtnGetProVersion =
        Place(new QPushButton(tr("Start Pro version"), sPanel1), 18, 186, 180, 50);
    sBitBtnGetProVersion->setObjectName(QStringLiteral("sBitBtnGetProVersion"));
    sBitBtnGetProVersion->setFont(toolkit::PointFont(font(), 12, false));
    sBitBtnGetProVersion->setIcon(toolkit::ProGlyph());
    sBitBtnGetProVersion->setIconSize(QSize(24, 24));

    sBitBtnStart = Place(new QPushButton(tr("Start extraction"), sPanel1), 212, 186, 180, 50);
    sBitBtnStart->setObjectName(QStringLiteral("sBitBtnStart"));
    sBitBtnStart->setFont(toolkit::PointFont(font(), 12, false));
    sBitBtnStart->setIcon(toolkit::StartGlyph());
    sBitBtnStart->setIconSize(QSize(24, 24));

    BuildStatusBar(client);
}

void TMainForm::BuildInputGroup(QWidget* parent) {
    sGroupBox1 = AddGroup(parent, "sGroupBox1", tr("Input PDF File"), QRect(6, 8, 400, 88));
    const QFont normal = font();

    sFilenameEditInput = Place(new toolkit::TFilenameEdit(sGroupBox1), 6, 18, 361, 21);
    sFilenameEditInput->setObjectName(QStringLiteral("sFilenameEditInput"));
    sFilenameEditInput->setFont(normal);
    sFilenameEditInput->lineEdit()->setFocusPolicy(Qt::NoFocus);
    sFilenameEditInput->setSpokenNames(tr("Input PDF file"), tr("Choose input PDF file"));
    toolkit::SetHint(sFilenameEditInput, InputHint());

    sButtonOpenPDF = AddGlyphButton(sGroupBox1, "sButtonOpenPDF", toolkit::DocumentGlyph(),
                                    tr("View selected PDF file"));
    Place(sButtonOpenPDF, 370, 18, 24, 21);

    sEditPageCount = Place(new QLineEdit(sGroupBox1), 70, 44, 40, 21);
    sEditPageCount->setObjectName(QStringLiteral("sEditPageCount"));
    sEditPageCount->setFont(normal);
    sEditPageCount->setReadOnly(true);
    sEditPageCount->setFocusPolicy(Qt::NoFocus);
    sEditPageCount->setCursor(Qt::ArrowCursor);
    AddNameLabel(sGroupBox1, "sLabel1", tr("Page Count:"), 8, sEditPageCount);

    sEditPageRange = Place(new QLineEdit(sGroupBox1), 196, 44, 198, 21);
    sEditPageRange->setObjectName(QStringLiteral("sEditPageRange"));
    sEditPageRange->setFont(normal);
    AddNameLabel(sGroupBox1, "sLabel2", tr("Page Range:"), 130, sEditPageRange);
    QLabel* example =
        AddLabel(sGroupBox1, tr("Example: 1-5 (leave it blank for all)"), 200, 68, normal);
    example->setObjectName(QStringLiteral("sLabel3"));

    sBitBtnPlayVideo =
        Place(new QPushButton(tr("Play Video Tutorial"), sGroupBox1), 6, 70, 140, 25);
    sBitBtnPlayVideo->setObjectName(QStringLiteral("sBitBtnPlayVideo"));
    sBitBtnPlayVideo->setFont(toolkit::PointFont(normal, normal.pointSize(), true));
    sBitBtnPlayVideo->setIcon(toolkit::PlayGlyph());
    sBitBtnPlayVideo->hide();
}

void TMainForm::BuildOutputGroup(QWidget* parent) {
    sGroupBox4 = AddGroup(parent, "sGroupBox4", tr("Output Settings"), QRect(6, 104, 400, 73));
    const QFont normal = font();

    sDirectoryEditOutput = Place(new toolkit::TDirectoryEdit(sGroupBox4), 43, 18, 324, 21);
    sDirectoryEditOutput->setObjectName(QStringLiteral("sDirectoryEditOutput"));
    sDirectoryEditOutput->setFont(normal);
    sDirectoryEditOutput->setSpokenNames(tr("Output folder"), tr("Choose output folder"));
    toolkit::SetHint(sDirectoryEditOutput, OutputHint());
    AddNameLabel(sGroupBox4, "sLabel4", tr("Folder:"), 8, sDirectoryEditOutput,
                 sDirectoryEditOutput->lineEdit());

    sButtonOpenFolder = AddGlyphButton(sGroupBox4, "sButtonOpenFolder", toolkit::FolderGlyph(),
                                       tr("Open selected folder"));
    Place(sButtonOpenFolder, 370, 18, 24, 21);

    sEditOutputPrefix = Place(new QLineEdit(sGroupBox4), 43, 44, 80, 21);
    sEditOutputPrefix->setObjectName(QStringLiteral("sEditOutputPrefix"));
    sEditOutputPrefix->setFont(normal);
    toolkit::SetHint(sEditOutputPrefix, tr("Output filename's prefix<br><i>Example:</i> image-"));
    AddNameLabel(sGroupBox4, "sLabel6", tr("Prefix:"), 11, sEditOutputPrefix);

    sComboBoxFormat = Place(new toolkit::ChoiceBox(sGroupBox4), 170, 44, 80, 21);
    sComboBoxFormat->setObjectName(QStringLiteral("sComboBoxFormat"));
    sComboBoxFormat->setFont(normal);
    // A plain list: a typed name would give files whose names lie about
    // what they hold.
    sComboBoxFormat->addItems({QStringLiteral("Original"), QStringLiteral("BMP"),
                               QStringLiteral("JPEG"), QStringLiteral("JPEG-2000"),
                               QStringLiteral("PNG"), QStringLiteral("TIFF")});
    sComboBoxFormat->setCurrentIndex(0);
    sComboBoxFormat->setFocusPolicy(Qt::ClickFocus);
    sComboBoxFormat->setMaxVisibleItems(16);
    sComboBoxFormat->setAccessibleName(tr("Format"));
    AddNameLabel(sGroupBox4, "sLabel5", tr("Format:"), 132, sComboBoxFormat);

    sCheckBoxOpenAfter =
        Place(new QCheckBox(tr("Open After Extraction"), sGroupBox4), 268, 46, 128, 19);
    sCheckBoxOpenAfter->setObjectName(QStringLiteral("sCheckBoxOpenAfter"));
    sCheckBoxOpenAfter->setFont(normal);
    sCheckBoxOpenAfter->setChecked(true);
}

void TMainForm::BuildStatusBar(QWidget* parent) {
    sStatusBar1 =
        Place(new QFrame(parent), 0, kClientHeight - kStatusHeight, kClientWidth, kStatusHeight);
    sStatusBar1->setObjectName(QStringLiteral("sStatusBar1"));
    const int widths[] = {52, 354, 50};
    int left = 0;
    for (int i = 0; i < 3; ++i) {
        // The last panel runs to the right end, where the web label stands.
        const int width = i == 2 ? kClientWidth - left : widths[i];
        auto* panel = Place(new QFrame(sStatusBar1), left, 2, width - 2, kStatusHeight - 2);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i + 1));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        webPanel_ = panel;
        left += width;
    }

    ImageDonate = Place(new toolkit::ClickableLabel(sStatusBar1), 4, 5, 42, 16);
    ImageDonate->setObjectName(QStringLiteral("ImageDonate"));
    ImageDonate->setPixmap(toolkit::DonateBadge(QSize(42, 16)));
    ImageDonate->setAccessibleName(tr("Donation"));
    toolkit::SetHint(ImageDonate, tr("Donation"));

    sGaugeProcess = Place(new QProgressBar(sStatusBar1), 54, 4, 345, 19);
    sGaugeProcess->setObjectName(QStringLiteral("sGaugeProcess"));
    sGaugeProcess->setRange(0, 100);
    sGaugeProcess->setValue(0);
    sGaugeProcess->setTextVisible(false);
    sGaugeProcess->setFormat(QStringLiteral("%p%"));
    sGaugeProcess->setAccessibleName(tr("Extraction progress"));

    sLabelStatus = Place(new QLabel(sStatusBar1), 56, 4, 341, 19);
    sLabelStatus->setObjectName(QStringLiteral("sLabelStatus"));
    sLabelStatus->setFont(font());
    sLabelStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    sLabelStatus->hide();

    sLabelFXWebpage = new toolkit::ClickableLabel(sStatusBar1);
    sLabelFXWebpage->setObjectName(QStringLiteral("sLabelFXWebpage"));
    sLabelFXWebpage->setFont(toolkit::PointFont(font(), 8, true));
    QPalette black = sLabelFXWebpage->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    sLabelFXWebpage->setPalette(black);
    sLabelFXWebpage->move(408, 5);
}

void TMainForm::BuildMenu() {
    FileMenu = menuBar()->addMenu(tr("File"));
    FileMenu->setObjectName(QStringLiteral("FileMenu"));
    InputPDF = AddItem(FileMenu, "InputPDF", tr("Input PDF file"), QStringLiteral("Ctrl+I"));
    OutputFolder = AddItem(FileMenu, "OutputFolder", tr("Output folder"), QStringLiteral("Ctrl+O"));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("N1"));
    StartConversion1 =
        AddItem(FileMenu, "StartConversion1", tr("Start extraction"), QStringLiteral("Ctrl+S"));
    FileMenu->addSeparator()->setObjectName(QStringLiteral("N3"));
    Exit = AddItem(FileMenu, "Exit", tr("Exit"), QStringLiteral("Ctrl+W"));

    EditMenu = menuBar()->addMenu(tr("Edit"));
    EditMenu->setObjectName(QStringLiteral("EditMenu"));
    AutoSetOutputFolder =
        AddItem(EditMenu, "AutoSetOutputFolder", tr("Auto set output folder"), QString());
    AutoSetOutputFolder->setCheckable(true);
    AutoSetOutputFolder->setChecked(true);

    HelpMenu = menuBar()->addMenu(tr("Help"));
    HelpMenu->setObjectName(QStringLiteral("HelpMenu"));
    Website = AddItem(HelpMenu, "Website", tr("Website"), QString());
    Videotutorial1 = AddItem(HelpMenu, "Videotutorial1", tr("Video tutorial"), QString());
    Videotutorial1->setVisible(false);
    Feedback1 = AddItem(HelpMenu, "Feedback1", tr("Feedback"), QString());
    HelpMenu->addSeparator()->setObjectName(QStringLiteral("N4"));
    GetProVersion1 = AddItem(HelpMenu, "GetProVersion1", tr("Start Pro version"), QString());
    Howtoextracttextcontent1 =
        AddItem(HelpMenu, "Howtoextracttextcontent1", tr("How to extract text?"), QString());
    HelpMenu->addSeparator()->setObjectName(QStringLiteral("N2"));
    Donate1 = AddItem(HelpMenu, "Donate1", tr("Donate"), QStringLiteral("Ctrl+D"));
    About1 = AddItem(HelpMenu, "About1", tr("About"), QStringLiteral("Ctrl+B"));
}

void TMainForm::WireHandlers() {
    const auto on = [this](auto* sender, auto signal, void (TMainForm::*handler)()) {
        connect(sender, signal, this,
                [this, handler] { Handle([this, handler] { (this->*handler)(); }); });
    };
    on(sFilenameEditInput, &toolkit::PathEdit::changed, &TMainForm::sFilenameEditInputChange);
    on(sFilenameEditInput, &toolkit::PathEdit::clicked, &TMainForm::sFilenameEditInputClick);
    on(sFilenameEditInput, &toolkit::PathEdit::afterDialog,
       &TMainForm::sFilenameEditInputAfterDialog);
    on(sButtonOpenPDF, &QToolButton::clicked, &TMainForm::sButtonOpenPDFClick);
    on(sDirectoryEditOutput, &toolkit::PathEdit::changed, &TMainForm::sDirectoryEditOutputChange);
    on(sDirectoryEditOutput, &toolkit::PathEdit::clicked, &TMainForm::sDirectoryEditOutputClick);
    on(sDirectoryEditOutput, &toolkit::PathEdit::afterDialog,
       &TMainForm::sDirectoryEditOutputAfterDialog);
    on(sButtonOpenFolder, &QToolButton::clicked, &TMainForm::sButtonOpenFolderClick);
    on(sLabelFXWebpage, &toolkit::ClickableLabel::clicked, &TMainForm::ClickWebpageFX);
    on(ImageDonate, &toolkit::ClickableLabel::clicked, &TMainForm::ImageDonateClick);
    on(Image1, &toolkit::ClickableLabel::clicked, &TMainForm::Image1Click);
    on(InputPDF, &QAction::triggered, &TMainForm::InputPDFClick);
    on(OutputFolder, &QAction::triggered, &TMainForm::OutputFolderClick);
    on(Exit, &QAction::triggered, &TMainForm::ExitClick);
    on(AutoSetOutputFolder, &QAction::triggered, &TMainForm::AutoSetOutputFolderClick);
    on(Website, &QAction::triggered, &TMainForm::WebsiteClick);
    on(Feedback1, &QAction::triggered, &TMainForm::Feedback1Click);
    on(Howtoextracttextcontent1, &QAction::triggered, &TMainForm::Howtoextracttextcontent1Click);
    on(Donate1, &QAction::triggered, &TMainForm::Donate1Click);
    on(About1, &QAction::triggered, &TMainForm::About1Click);
    on(StartConversion1, &QAction::triggered, &TMainForm::StartConversion1Click);
    on(sBitBtnStart, &QPushButton::clicked, &TMainForm::sBitBtnStartClick);
    on(sComboBoxFormat, &QComboBox::currentTextChanged, &TMainForm::sComboBoxFormatChange);
    on(sBitBtnPlayVideo, &QPushButton::clicked, &TMainForm::sBitBtnPlayVideoClick);
    on(Videotutorial1, &QAction::triggered, &TMainForm::Videotutorial1Click);
    on(sBitBtnGetProVersion, &QPushButton::clicked, &TMainForm::sBitBtnGetProClick);
    on(GetProVersion1, &QAction::triggered, &TMainForm::GetProVersion1Click);
}

// --- start-up and shutdown ---------------------------------------------------

void TMainForm::FormCreate() {
    AppFolder = text::ExtractFilePath(platform::ExecutablePath());

    // Another user's folder of that name is left alone: this run then has
    // one of its own beside it, taken away at the end. Such folders of
    // runs that ended by force, and what a killed run left in the shared
    // one, go now.
    extract::RemoveLeftByEndedRuns(platform::TempFolder(), std::string(kProductName) + "-", true);
    const std::string wanted = platform::TempFolder() + platform::PathSeparator() + kProductName;
    const std::string scratch = platform::OwnScratchFolder(wanted);
    WorkFolder = scratch.empty() ? std::string{} : platform::WithSeparator(scratch);
    if (!scratch.empty() && scratch != wanted)
        folderOfThisRun_ = scratch;
    EmptyWorkFolder();

    CheckInstallRecord();

    setWindowTitle(QString::fromLatin1(kProductName));
    WebsiteDomain = kVendorDomain;
    sLabelFXWebpage->setText(toolkit::FromProgramText(WebsiteDomain));
    sLabelFXWebpage->adjustSize();
    FeedbackAddress = std::string(kFeedbackMailbox) + WebsiteDomain;
    sComboBoxFormatChange();
    ResizeMainForm();

    versionCheck_ = online::TCheckForNewVersionProcess::Start(
        {AppVersion, online::VendorAddress(WebsiteDomain), this, [] { QCoreApplication::quit(); }});
}

void TMainForm::CheckInstallRecord() {
    try {
        AppVersion = ReadInstallVersion(kProductName);
        if (AppVersion.empty())
            throw std::runtime_error("Could not determinated the application's\r\nversion "
                                     "number!\r\n\r\nPlease re-install this software!");
        AppWebsite = ReadInstallWebsite(kProductName);
        if (AppWebsite.empty())
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
    if (WorkFolder.empty())
        return;
    for (const std::string& name : platform::ListFiles(WorkFolder, "*.*"))
        platform::RemoveFile(WorkFolder + name);
}

void TMainForm::FormDestroy() {
    EmptyWorkFolder();
    close();
}

// --- the window's own handlers -----------------------------------------------

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    Handle([this] { ResizeMainForm(); });
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Handle([this] { ResizeMainForm(); });
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
    raise();
    activateWindow();
    const std::string path = toolkit::ToProgramText(sFilenameEditInput->text());
    if (!inspect::IsPdfName(path)) {
        InputReset();
        sBitBtnStart->setFocus();
        return;
    }
    const inspect::InformationTool tool = [](const std::vector<std::string>& arguments) {
        return inspect::RunConsoleTool(inspect::kInformationTool, arguments, AppFolder,
                                       inspect::kInspectionTimeLimit);
    };
    inspect::InspectionPrompts prompts(this);
    const inspect::InspectionResult result =
        inspect::InspectDocument(path, tool, prompts, DocumentPassword);
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

void TMainForm::sFilenameEditInputClick() {
    sFilenameEditInput->setText(QString());
    toolkit::SetHint(sFilenameEditInput, InputClearedHint());
    sEditPageCount->clear();
    sEditPageRange->clear();
    sBitBtnStart->setFocus();
    sFilenameEditInput->pressBrowseButton();
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
    sBitBtnStart->setFocus();
    sDirectoryEditOutput->pressBrowseButton();
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

void TMainForm::TakeDocument(const QString& path) {
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (WorkerExists() || QApplication::activeModalWidget()) {
        toolkit::ShowMessage(this, toolkit::BoxType::Warning,
                             tr("%1 is busy and cannot open this document now:\r\n%2")
                                 .arg(QString::fromLatin1(kProductName), shown));
        return;
    }
    if (isMinimized())
        showNormal();
    sFilenameEditInput->setText(shown);
}

void TMainForm::AutoSetOutputFolderClick() {
    // The item keeps its own check mark; inspection reads it.
}

void TMainForm::ExitClick() {
    FormDestroy();
}

// --- extraction --------------------------------------------------------------

void TMainForm::BuildExtractionControl() {
    extract::ExtractionControls controls;
    controls.window = this;
    controls.input = sFilenameEditInput;
    controls.pageCount = sEditPageCount;
    controls.pageRange = sEditPageRange;
    controls.output = sDirectoryEditOutput;
    controls.prefix = sEditOutputPrefix;
    controls.format = sComboBoxFormat;
    controls.openAfter = sCheckBoxOpenAfter;
    controls.gauge = sGaugeProcess;
    controls.outcome = sLabelStatus;
    controls.start = sBitBtnStart;
    controls.menus = {FileMenu, EditMenu, HelpMenu};
    controls.settings = {sFilenameEditInput, sButtonOpenPDF,    sEditPageCount,
                         sEditPageRange,     sBitBtnPlayVideo,  sDirectoryEditOutput,
                         sButtonOpenFolder,  sEditOutputPrefix, sComboBoxFormat,
                         sCheckBoxOpenAfter};
    extraction_ = std::make_unique<extract::ExtractionControl>(
        std::move(controls),
        extract::ExtractionState{ExtractionRunning, DocumentPassword, AppFolder, WorkFolder});
}

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
}

// --- information and promotion -----------------------------------------------

void TMainForm::About1Click() {
    about::TAboutDialog dialog(nullptr);
    const QString description =
        QCoreApplication::translate("about::TAboutDialog", about::kAboutDescription);
    dialog.SetAboutInfo(kProductName, AppVersion, toolkit::ToProgramText(description),
                        "http://" + WebsiteDomain + "/");
    dialog.move(frameGeometry().center() - dialog.rect().center());
    const std::string action = dialog.ShowAboutDialog();
    if (action == "gotoweb")
        platform::OpenWithShell(AppWebsite);
    else if (action == "gotolicense")
        platform::OpenWithShell(about::kLicenceAddress);
}

void TMainForm::WebsiteClick() {
    platform::OpenWithShell(AppWebsite);
}

void TMainForm::ClickWebpageFX() {
    platform::OpenWithShell(AppWebsite);
}

void TMainForm::Image1Click() {
    platform::OpenWithShell(about::SocialAddress(AppWebsite));
}

void TMainForm::Feedback1Click() {
    about::OpenAfterConfirm(this, about::FeedbackText(), FeedbackAddress);
}

void TMainForm::Howtoextracttextcontent1Click() {
    about::OpenAfterConfirm(this, about::SiblingProductText(),
                            about::SiblingProductAddress(WebsiteDomain));
}

void TMainForm::Donate1Click() {
    about::OpenAfterConfirm(this, about::DonationText(kProductName),
                            about::DonationAddress(WebsiteDomain));
}

void TMainForm::ImageDonateClick() {
    Donate1Click();
}

// --- online ------------------------------------------------------------------

void TMainForm::sBitBtnPlayVideoClick() {
    platform::OpenWithShell(AppWebsite + "?playvideo");
}

void TMainForm::Videotutorial1Click() {
    sBitBtnPlayVideoClick();
}

void TMainForm::sBitBtnGetProClick() {
    online::StartProVersion(this, online::VendorAddress(WebsiteDomain));
}

void TMainForm::GetProVersion1Click() {
    sBitBtnGetProVersion->click();
}

} // namespace app
