// The program's working window: every setting of an extraction lives in its
// controls.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QThread>
#include <memory>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace toolkit {
class ClickableLabel;
class PathEdit;
class TDirectoryEdit;
class TFilenameEdit;
} // namespace toolkit

namespace extract {
class ExtractionControl;
}

namespace picker {
class PickerWindow;
}

namespace app {

struct AppContext;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    // Fills `context` in at start-up and keeps it; it must outlive the window.
    explicit TMainForm(AppContext& context, QWidget* parent = nullptr);
    ~TMainForm() override;

    // True when start-up found no usable install record and the program is
    // ending.
    bool Terminating() const { return terminating_; }

    // Window handlers.
    void FormCreate();
    void FormDestroy();
    void ResizeMainForm();
    void sFilenameEditInputChange();
    void sFilenameEditInputClick();
    void sFilenameEditInputAfterDialog();
    void InputPDFClick();
    void sDirectoryEditOutputClick();
    void sDirectoryEditOutputAfterDialog();
    void sDirectoryEditOutputChange();
    void OutputFolderClick();
    void sButtonOpenPDFClick();
    void sButtonOpenFolderClick();
    void AutoSetOutputFolderClick();
    void ExitClick();
    void About1Click();
    void WebsiteClick();
    void ClickWebpageFX();
    void Image1Click();
    void Feedback1Click();
    void Howtoextracttextcontent1Click();
    void Donate1Click();
    void ImageDonateClick();
    void sBitBtnStartClick();
    void StartConversion1Click();
    void sComboBoxFormatChange();
    void sBitBtnPlayVideoClick();
    void Videotutorial1Click();
    void sBitBtnGetProClick();
    void GetProVersion1Click();
    void PickPicturesClick();

    // A document named on the command line or handed over by a later start:
    // true when it is taken, as if picked, once this call is over. A busy
    // window, or something that is no ordinary file, is refused with a box
    // that comes later; while such a box is up, every other document is
    // refused without one.
    bool TakeDocument(const QString& path);

    // True while an extraction worker exists, stopping or not.
    bool WorkerExists() const;

    // The picker, while it is open.
    QPointer<picker::PickerWindow> Picker() const { return picker_; }

    // The version check started at start-up, until it has freed itself.
    QPointer<QThread> VersionCheck() const { return versionCheck_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void BuildWindow();
    void BuildInputGroup();
    void BuildOutputGroup();
    void BuildStatusBar(QWidget* parent);
    void BuildMenu();
    void BuildExtractionControl();
    void WireHandlers();
    void CheckInstallRecord();
    void EmptyWorkFolder();
    void InputReset();
    void BrowseFromStart(toolkit::PathEdit* edit);
    void RefuseDocument(const QString& message);
    void FitWebLabel(int room);

    AppContext& context_;
    // Starts and stops the extraction; made once the controls exist.
    std::unique_ptr<extract::ExtractionControl> extraction_;
    QPointer<QThread> versionCheck_;
    QPointer<picker::PickerWindow> picker_;

    bool terminating_ = false;
    // A handed-over document is on its way into the input edit, or the box
    // that refused one is up.
    bool takingDocument_ = false;
    bool refusalShown_ = false;
    // The scratch folder made for this run alone, when the usual one was
    // not the user's own.
    std::string folderOfThisRun_;

    // Controls, named as the rest of the program knows them.
    QFrame* Panel1 = nullptr;
    QFrame* sPanel1 = nullptr;
    QGroupBox* sGroupBox1 = nullptr;
    toolkit::TFilenameEdit* sFilenameEditInput = nullptr;
    QToolButton* sButtonOpenPDF = nullptr;
    QLineEdit* sEditPageCount = nullptr;
    QLineEdit* sEditPageRange = nullptr;
    QPushButton* sBitBtnPlayVideo = nullptr;
    QGroupBox* sGroupBox4 = nullptr;
    toolkit::TDirectoryEdit* sDirectoryEditOutput = nullptr;
    QToolButton* sButtonOpenFolder = nullptr;
    QLineEdit* sEditOutputPrefix = nullptr;
    QComboBox* sComboBoxFormat = nullptr;
    QCheckBox* sCheckBoxOpenAfter = nullptr;
    QPushButton* sBitBtnGetProVersion = nullptr;
    QPushButton* sBitBtnStart = nullptr;
    toolkit::ClickableLabel* Image1 = nullptr;
    QPushButton* PickPicturesButton = nullptr; // over the banner's foot
    QFrame* sStatusBar1 = nullptr;
    QFrame* webPanel_ = nullptr; // the status bar's last panel
    toolkit::ClickableLabel* ImageDonate = nullptr;
    QProgressBar* sGaugeProcess = nullptr;
    QLabel* sLabelStatus = nullptr; // what came of the last job
    toolkit::ClickableLabel* sLabelFXWebpage = nullptr;

    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* HelpMenu = nullptr;
    QAction* InputPDF = nullptr;
    QAction* OutputFolder = nullptr;
    QAction* StartConversion1 = nullptr;
    QAction* PickPictures = nullptr;
    QAction* Exit = nullptr;
    QAction* AutoSetOutputFolder = nullptr;
    QAction* Website = nullptr;
    QAction* Videotutorial1 = nullptr;
    QAction* Feedback1 = nullptr;
    QAction* GetProVersion1 = nullptr;
    QAction* Howtoextracttextcontent1 = nullptr;
    QAction* Donate1 = nullptr;
    QAction* About1 = nullptr;
};

} // namespace app
