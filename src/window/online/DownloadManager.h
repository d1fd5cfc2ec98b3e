// The download window: asks the vendor where an installer is, fetches it
// into the TEMP folder as "Setup.exe" with a gauge and a Cancel button, and
// hands it to the shell.
#pragma once

#include "http/HttpClient.h"

#include <QDialog>
#include <chrono>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace online {

// How a download window ended: the installer handed to the shell, or not.
enum class DownloadResult { Started, Cancelled, Failed };

// True while a download window exists. Its transfer serves other work from
// inside its progress events, and a second window there would spoil the
// installer file the first one is writing.
bool DownloadWindowOpen();

class TDownloadForm : public QDialog {
    Q_OBJECT
public:
    // `vendorAddress` is the vendor's host, optionally with ":" and a port.
    TDownloadForm(QWidget* owner, std::string vendorAddress);
    ~TDownloadForm() override;

    // Looks installer `name` up and arms the timer. A lookup request that
    // fails outright raises, and the window must then not be shown.
    void StartDownload(const std::string& name);
    // Shows the window until it closes itself; returns how it ended.
    DownloadResult ShowModal();
    // Centres the window over its owner, as both callers want it.
    void CentreOverOwner();

    // Waits for the vendor are bounded; tests shorten the bound.
    void SetWaitBound(std::chrono::milliseconds bound);

    // How the download stands: Started until the lookup or the transfer
    // fails or the user cancels it.
    DownloadResult Result() const { return state_; }
    // From the last good lookup, and where the installer is stored.
    const std::string& InstallerUrl() const { return installerUrl_; }
    const std::string& SetupPath() const { return setupPath_; }

    // Handlers.
    void FormCreate();
    void FormClose();
    void TimerHTTPTimer();
    void IdHTTP1WorkBegin(qint64 workCountMax);
    void IdHTTP1Work(qint64 workCount);
    void sBitBtnCancelClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void CloseWindow();

    std::string vendorAddress_;
    DownloadResult state_ = DownloadResult::Started;
    std::string installerUrl_;
    std::string setupPath_;
    std::chrono::milliseconds waitBound_ = http::Client::kDefaultWaitBound;
    bool closing_ = false; // the window is closing itself; nothing else closes it

    QFrame* sPanel1 = nullptr;
    QLabel* sStickyLabelStatus = nullptr;
    QProgressBar* sGaugeProgress = nullptr;
    QPushButton* sBitBtnCancel = nullptr;
    QTimer* TimerHTTP = nullptr;
    http::Client IdHTTP1;
};

// Writes the installer as a new private file beside `path` and moves it
// into place, so that whatever stood at `path` (a link included) is
// replaced, never written through. Raises on failure.
void SaveInstaller(const std::string& path, const QByteArray& bytes);

// The user agent of every form post the program sends.
inline constexpr const char* kFormPostAgent = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

} // namespace online
