// Building the main window: its controls, their places and texts, the menus,
// and the wiring of each control to its handler.
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "control/ExtractionControl.h"
#include "picker/PickerWindow.h"
#include "toolkit/ChoiceBox.h"
#include "toolkit/ClickableLabel.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/FocusMark.h"
#include "toolkit/Fonts.h"
#include "toolkit/Hints.h"
#include "toolkit/PathEdits.h"
#include "toolkit/Pictures.h"
#include "toolkit/Place.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>

namespace app {

using toolkit::Place;

namespace {

QString InputHint() {
    return TMainForm::tr("Select input PDF file");
}
QString OutputHint() {
    return TMainForm::tr("Select output folder");
}

// The client area, its status bar and the picture panel on its left.
constexpr int kClientWidth = 496;
constexpr int kClientHeight = 266;
constexpr int kStatusHeight = 24;
constexpr int kPicturePanelWidth = 85;

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

// A path edit in the window's normal face, with what a screen reader calls
// its parts and its hint.
void DressPathEdit(toolkit::PathEdit* edit, const QFont& face, const QString& spokenText,
                   const QString& spokenBrowse, const QString& hint) {
    edit->setFont(face);
    edit->setSpokenNames(spokenText, spokenBrowse);
    toolkit::SetHint(edit, hint);
}

// The small button at the end of a group's first line that opens what the
// path edit before it names.
QToolButton* AddOpenButton(QWidget* group, const char* name, const QIcon& glyph,
                           const QString& hint) {
    auto* button = Place(new QToolButton(group), name, 370, 18, 24, 21);
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

    Panel1 = Place(new QFrame(client), "Panel1", 0, 0, kPicturePanelWidth,
                   kClientHeight - kStatusHeight);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    Panel1->setPalette(white);
    Image1 = Place(new toolkit::ClickableLabel(Panel1), "Image1", 6, 7, 73, 230);
    Image1->setPixmap(toolkit::BannerPicture(QSize(73, 230)));
    Image1->setAccessibleName(tr("I like it!"));
    toolkit::SetHint(Image1, tr("I like it!"));
    // The way to the picker, over the banner's foot, where the picture of
    // an image document stands.
    PickPicturesButton = Place(new toolkit::MarkedButton(tr("Pictures…"), Panel1),
                               "PickPicturesButton", 6, 211, 73, 24);
    PickPicturesButton->setAccessibleName(tr("Pick pictures"));
    toolkit::SetHint(PickPicturesButton,
                     tr("See the pictures of the document and pick the ones to save (Ctrl+P)"));

    sPanel1 = Place(new QFrame(client), "sPanel1", kPicturePanelWidth, 0,
                    kClientWidth - kPicturePanelWidth, kClientHeight - kStatusHeight);
    sGroupBox1 = AddGroup(sPanel1, "sGroupBox1", tr("Input PDF File"), QRect(6, 8, 400, 88));
    BuildInputGroup();
    sGroupBox4 = AddGroup(sPanel1, "sGroupBox4", tr("Output Settings"), QRect(6, 104, 400, 73));
    BuildOutputGroup();

    sBitBtnGetProVersion = Place(new QPushButton(tr("Start Pro version"), sPanel1),
                                 "sBitBtnGetProVersion", 18, 186, 180, 50);
    sBitBtnGetProVersion->setFont(toolkit::PointFont(font(), 12, false));
    sBitBtnGetProVersion->setIcon(toolkit::ProGlyph());
    sBitBtnGetProVersion->setIconSize(QSize(24, 24));

    sBitBtnStart =
        Place(new QPushButton(tr("Start extraction"), sPanel1), "sBitBtnStart", 212, 186, 180, 50);
    sBitBtnStart->setFont(toolkit::PointFont(font(), 12, false));
    sBitBtnStart->setIcon(toolkit::StartGlyph());
    sBitBtnStart->setIconSize(QSize(24, 24));

    BuildStatusBar(client);
}

// The controls of the groups are in the window's own face; the groups'
// captions are bold.
void TMainForm::BuildInputGroup() {
    sFilenameEditInput =
        Place(new toolkit::TFilenameEdit(sGroupBox1), "sFilenameEditInput", 6, 18, 361, 21);
    DressPathEdit(sFilenameEditInput, font(), tr("Input PDF file"), tr("Choose input PDF file"),
                  InputHint());
    sFilenameEditInput->lineEdit()->setFocusPolicy(Qt::NoFocus);
    sButtonOpenPDF = AddOpenButton(sGroupBox1, "sButtonOpenPDF", toolkit::DocumentGlyph(),
                                   tr("View selected PDF file"));

    sEditPageCount = Place(new QLineEdit(sGroupBox1), "sEditPageCount", 70, 44, 40, 21);
    sEditPageCount->setFont(font());
    sEditPageCount->setReadOnly(true);
    sEditPageCount->setFocusPolicy(Qt::NoFocus);
    sEditPageCount->setCursor(Qt::ArrowCursor);
    AddNameLabel(sGroupBox1, "sLabel1", tr("Page Count:"), 8, sEditPageCount);

    sEditPageRange = Place(new QLineEdit(sGroupBox1), "sEditPageRange", 196, 44, 198, 21);
    sEditPageRange->setFont(font());
    AddNameLabel(sGroupBox1, "sLabel2", tr("Page Range:"), 130, sEditPageRange);
    QLabel* example =
        AddLabel(sGroupBox1, tr("Example: 1-5 (leave it blank for all)"), 200, 68, font());
    example->setObjectName(QStringLiteral("sLabel3"));

    sBitBtnPlayVideo = Place(new QPushButton(tr("Play Video Tutorial"), sGroupBox1),
                             "sBitBtnPlayVideo", 6, 70, 140, 25);
    sBitBtnPlayVideo->setFont(toolkit::PointFont(font(), font().pointSize(), true));
    sBitBtnPlayVideo->setIcon(toolkit::PlayGlyph());
    sBitBtnPlayVideo->hide();
}

void TMainForm::BuildOutputGroup() {
    sDirectoryEditOutput =
        Place(new toolkit::TDirectoryEdit(sGroupBox4), "sDirectoryEditOutput", 43, 18, 324, 21);
    DressPathEdit(sDirectoryEditOutput, font(), tr("Output folder"), tr("Choose output folder"),
                  OutputHint());
    AddNameLabel(sGroupBox4, "sLabel4", tr("Folder:"), 8, sDirectoryEditOutput,
                 sDirectoryEditOutput->lineEdit());
    sButtonOpenFolder = AddOpenButton(sGroupBox4, "sButtonOpenFolder", toolkit::FolderGlyph(),
                                      tr("Open selected folder"));

    sEditOutputPrefix = Place(new QLineEdit(sGroupBox4), "sEditOutputPrefix", 43, 44, 80, 21);
    sEditOutputPrefix->setFont(font());
    toolkit::SetHint(sEditOutputPrefix, tr("Output filename's prefix<br><i>Example:</i> image-"));
    AddNameLabel(sGroupBox4, "sLabel6", tr("Prefix:"), 11, sEditOutputPrefix);

    sComboBoxFormat = Place(new toolkit::ChoiceBox(sGroupBox4), "sComboBoxFormat", 170, 44, 80, 21);
    sComboBoxFormat->setFont(font());
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

    sCheckBoxOpenAfter = Place(new QCheckBox(tr("Open After Extraction"), sGroupBox4),
                               "sCheckBoxOpenAfter", 268, 46, 128, 19);
    sCheckBoxOpenAfter->setFont(font());
    sCheckBoxOpenAfter->setChecked(true);
}

void TMainForm::BuildStatusBar(QWidget* parent) {
    sStatusBar1 = Place(new QFrame(parent), "sStatusBar1", 0, kClientHeight - kStatusHeight,
                        kClientWidth, kStatusHeight);
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

    ImageDonate = Place(new toolkit::ClickableLabel(sStatusBar1), "ImageDonate", 4, 5, 42, 16);
    ImageDonate->setPixmap(toolkit::DonateBadge(QSize(42, 16)));
    ImageDonate->setAccessibleName(tr("Donation"));
    toolkit::SetHint(ImageDonate, tr("Donation"));

    sGaugeProcess = Place(new QProgressBar(sStatusBar1), "sGaugeProcess", 54, 4, 345, 19);
    sGaugeProcess->setRange(0, 100);
    sGaugeProcess->setValue(0);
    sGaugeProcess->setTextVisible(false);
    sGaugeProcess->setFormat(QStringLiteral("%p%"));
    sGaugeProcess->setAccessibleName(tr("Extraction progress"));

    sLabelStatus = Place(new QLabel(sStatusBar1), "sLabelStatus", 56, 4, 341, 19);
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
    PickPictures =
        AddItem(FileMenu, "PickPictures", tr("Pick pictures…"), QStringLiteral("Ctrl+P"));
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
        connect(sender, signal, this, [this, handler] {
            toolkit::Guarded(this, [this, handler] { (this->*handler)(); });
        });
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
    on(PickPictures, &QAction::triggered, &TMainForm::PickPicturesClick);
    on(PickPicturesButton, &QPushButton::clicked, &TMainForm::PickPicturesClick);
}

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
                         sCheckBoxOpenAfter, PickPicturesButton};
    extraction_ = std::make_unique<extract::ExtractionControl>(
        std::move(controls),
        extract::ExtractionState{context_.extractionRunning, context_.documentPassword,
                                 context_.appFolder, context_.workFolder});
    // What the picker makes on demand ends before a job takes the image
    // library, and it saves nothing while one runs.
    connect(extraction_.get(), &extract::ExtractionControl::jobStarting, this, [this] {
        if (picker_)
            picker_->EndOnDemand();
    });
    connect(extraction_.get(), &extract::ExtractionControl::extractingChanged, this,
            [this](bool extracting) {
                if (picker_)
                    picker_->SetSaving(extracting);
            });
}
} // namespace app
