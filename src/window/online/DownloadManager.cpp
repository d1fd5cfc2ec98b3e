#include "online/DownloadManager.h"

#include "online/Boxes.h"
#include "online/InstallerLookup.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "toolkit/ErrorReport.h"
#include "toolkit/Fonts.h"
#include "toolkit/MessageBoxes.h"
#include "toolkit/Place.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <limits>
#include <stdexcept>

namespace online {

using toolkit::Place;

namespace {
int openWindows = 0; // user-interface thread only
} // namespace

bool DownloadWindowOpen() {
    return openWindows > 0;
}

namespace {

const char* const kLookupPath = "/requests/getsmartinstallerinfo.php";
const char* const kDownloadAgent = "Mozilla/3.0 (compatible; Indy Library)";

int GaugeValue(qint64 bytes) {
    return static_cast<int>(std::clamp<qint64>(bytes, 0, std::numeric_limits<int>::max()));
}

void RemoveIfPresent(const std::string& path) {
    if (platform::FileExists(path))
        platform::RemoveFile(path);
}

} // namespace

TDownloadForm::TDownloadForm(QWidget* owner, std::string vendorAddress)
    : QDialog(owner), vendorAddress_(std::move(vendorAddress)) {
    ++openWindows;
    setObjectName(QStringLiteral("DownloadForm"));
    setWindowTitle(tr("Download Manager"));
    // A title and nothing else: no close box, no system menu.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(382, 106);
    setFont(toolkit::WindowFont());

    sPanel1 = Place(new QFrame(this), "sPanel1", 0, 0, 382, 106);

    sStickyLabelStatus = new QLabel(tr("Initializing"), sPanel1);
    sStickyLabelStatus->setObjectName(QStringLiteral("sStickyLabelStatus"));
    QFont bold = font();
    bold.setBold(true);
    sStickyLabelStatus->setFont(bold);
    QPalette black = sStickyLabelStatus->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    sStickyLabelStatus->setPalette(black);
    sStickyLabelStatus->move(21, 20);
    sStickyLabelStatus->setMinimumWidth(340);

    sGaugeProgress = Place(new QProgressBar(sPanel1), "sGaugeProgress", 20, 38, 340, 20);
    sGaugeProgress->setRange(0, 100);
    sGaugeProgress->setFormat(QStringLiteral("%p%"));
    sGaugeProgress->setAccessibleName(tr("Download progress"));

    sBitBtnCancel = Place(new QPushButton(tr("Cancel"), sPanel1), "sBitBtnCancel", 150, 70, 80, 25);
    sBitBtnCancel->setAutoDefault(false);

    TimerHTTP = new QTimer(this);
    TimerHTTP->setObjectName(QStringLiteral("TimerHTTP"));
    TimerHTTP->setInterval(500);
    TimerHTTP->setSingleShot(true);

    IdHTTP1.SetUserAgent(kDownloadAgent);
    IdHTTP1.OnTransferBegin([this](qint64 size) { IdHTTP1WorkBegin(size); });
    IdHTTP1.OnProgress([this](qint64 received) { IdHTTP1Work(received); });

    connect(sBitBtnCancel, &QPushButton::clicked, this,
            [this] { toolkit::Guarded(parentWidget(), [this] { sBitBtnCancelClick(); }); });
    connect(TimerHTTP, &QTimer::timeout, this,
            [this] { toolkit::Guarded(parentWidget(), [this] { TimerHTTPTimer(); }); });

    FormCreate();
}

TDownloadForm::~TDownloadForm() {
    --openWindows;
}

void TDownloadForm::SetWaitBound(std::chrono::milliseconds bound) {
    waitBound_ = bound;
    IdHTTP1.SetWaitBound(bound);
}

void TDownloadForm::FormCreate() {
    sBitBtnCancel->setEnabled(false);
    sGaugeProgress->setValue(0);
}

void TDownloadForm::StartDownload(const std::string& name) {
    state_ = DownloadResult::Started;

    http::Client lookup;
    lookup.SetUserAgent(kFormPostAgent);
    lookup.SetWaitBound(waitBound_);
    const QByteArray reply = lookup.PostForm(QByteArray::fromStdString(vendorAddress_), kLookupPath,
                                             "smartname", QByteArray::fromStdString(name));

    if (reply.isEmpty() || reply == "false") {
        state_ = DownloadResult::Failed;
    } else {
        const InstallerInfo info = ReadLookupReply(reply.toStdString());
        if (info.displayName)
            setWindowTitle(tr("%1 Setup").arg(toolkit::FromProgramText(*info.displayName)));
        if (info.displayName && info.address)
            installerUrl_ = *info.address;
        else
            state_ = DownloadResult::Failed;
    }

    if (state_ == DownloadResult::Started) {
        setupPath_ = platform::TempFolder() + platform::PathSeparator() + "Setup.exe";
        RemoveIfPresent(setupPath_);
    }
    TimerHTTP->start();
}

DownloadResult TDownloadForm::ShowModal() {
    exec();
    return state_;
}

void TDownloadForm::CentreOverOwner() {
    if (QWidget* owner = parentWidget())
        move(owner->window()->frameGeometry().center() - rect().center());
}

void TDownloadForm::TimerHTTPTimer() {
    TimerHTTP->stop();
    if (state_ != DownloadResult::Started) {
        CloseWindow();
        return;
    }
    try {
        const QByteArray installer = IdHTTP1.Get(QByteArray::fromStdString(installerUrl_));
        SaveInstaller(setupPath_, installer);
    } catch (const std::exception&) {
        sBitBtnCancel->setEnabled(false);
        if (state_ != DownloadResult::Cancelled)
            state_ = DownloadResult::Failed;
    }
    if (state_ == DownloadResult::Started)
        platform::OpenWithShell(setupPath_);
    CloseWindow();
}

void TDownloadForm::IdHTTP1WorkBegin(qint64 workCountMax) {
    sGaugeProgress->setRange(0, GaugeValue(workCountMax));
    sGaugeProgress->setValue(0);
    sStickyLabelStatus->setText(tr("Downloading installer"));
    sBitBtnCancel->setEnabled(true);
    QCoreApplication::processEvents();
}

void TDownloadForm::IdHTTP1Work(qint64 workCount) {
    sGaugeProgress->setValue(std::min(GaugeValue(workCount), sGaugeProgress->maximum()));
    QCoreApplication::processEvents();
}

void TDownloadForm::sBitBtnCancelClick() {
    // The transfer waits while the question is open: nothing reads the
    // connection until this returns.
    const toolkit::Answer answer =
        ShowBox(parentWidget(), toolkit::BoxType::Confirm,
                tr("Are you sure to cancel this download?"), toolkit::ButtonSet::YesNo, false);
    if (answer != toolkit::Answer::Yes)
        return;
    state_ = DownloadResult::Cancelled;
    IdHTTP1.Abandon();
    RemoveIfPresent(setupPath_);
    CloseWindow();
}

void TDownloadForm::FormClose() {
    if (state_ == DownloadResult::Failed)
        ShowBox(parentWidget(), toolkit::BoxType::Error, tr("Installer download error!"),
                toolkit::ButtonSet::OK, false);
}

void TDownloadForm::CloseWindow() {
    if (closing_)
        return;
    closing_ = true;
    FormClose();
    done(static_cast<int>(state_));
}

void TDownloadForm::closeEvent(QCloseEvent* event) {
    // Only the window itself decides when it closes.
    if (!closing_)
        event->ignore();
}

void TDownloadForm::reject() {
    // Escape does not close it either.
    if (closing_)
        QDialog::reject();
}

void SaveInstaller(const std::string& path, const QByteArray& bytes) {
    const QString target = QString::fromLocal8Bit(path);
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    if (!file.open())
        throw std::runtime_error("cannot create a file beside " + path);
    if (file.write(bytes) != bytes.size() || !file.flush())
        throw std::runtime_error("cannot write " + file.fileName().toStdString());
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Whatever stands at the path now goes, a link itself rather than what
    // it points to; the new file then takes its place.
    const QFileInfo existing(target);
    if (existing.exists() || existing.isSymLink())
        platform::RemoveFile(path);
    if (!file.rename(target))
        throw std::runtime_error("cannot move the installer to " + path);
    file.setAutoRemove(false);
}

} // namespace online
