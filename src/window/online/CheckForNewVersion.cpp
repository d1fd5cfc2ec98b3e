#include "online/CheckForNewVersion.h"

#include "online/Boxes.h"
#include "online/DownloadManager.h"
#include "online/VersionNumber.h"
#include "toolkit/MessageBoxes.h"

#include <QAction>
#include <QCoreApplication>
#include <exception>
#include <stdexcept>

namespace online {

namespace {

const char* const kVideoPath = "/requests/getytvideoid.php";
const char* const kVersionPath = "/requests/checkversionid.php";
const char* const kProductField = "product_id";
const char* const kProductNumber = "11"; // Arvenzo at the vendor
const char* const kInstallerName = "Arvenzo";
constexpr unsigned long kRetryMs = 500;

} // namespace

TCheckForNewVersionProcess::TCheckForNewVersionProcess(VersionCheckSetup setup)
    : setup_(std::move(setup)) {}

TCheckForNewVersionProcess* TCheckForNewVersionProcess::Start(VersionCheckSetup setup) {
    auto* worker = new TCheckForNewVersionProcess(std::move(setup)); // frees itself
    connect(worker, &QThread::finished, worker, &QObject::deleteLater);
    worker->start();
    return worker;
}

void TCheckForNewVersionProcess::run() {
    try {
        Execute();
    } catch (...) {
        // Nothing of the check ever reaches the user.
    }
}

void TCheckForNewVersionProcess::Execute() {
    http::Client client;
    client.SetUserAgent(kFormPostAgent);
    client.SetWaitBound(setup_.waitBound);
    const QByteArray vendor = QByteArray::fromStdString(setup_.vendorAddress);

    try {
        if (client.PostForm(vendor, kVideoPath, kProductField, kProductNumber) != "false")
            Synchronize([this] { ShowVideoTutorial(); });
    } catch (...) {
        // No video controls; the version is asked for all the same.
    }

    try {
        const QByteArray newest =
            client.PostForm(vendor, kVersionPath, kProductField, kProductNumber);
        if (newest == "false")
            return;
        if (!IsNewerVersion(setup_.appVersion, newest.toStdString()))
            return;
        UpgradeMessage = UpgradeQuestion(newest.toStdString());
        UpgradeVersion = OfferedVersion(newest.toStdString());
        // A download window may be open (the pro edition's, started by the
        // user); the question waits until it has closed.
        bool asked = false;
        while (!asked) {
            Synchronize([&] {
                asked = !DownloadWindowOpen();
                if (asked)
                    AskForUpgrade();
            });
            if (!asked)
                QThread::msleep(kRetryMs);
        }
    } catch (...) {
    }
}

template <class Operation> void TCheckForNewVersionProcess::Synchronize(Operation operation) {
    QCoreApplication* application = QCoreApplication::instance();
    if (!application || QCoreApplication::closingDown())
        throw std::runtime_error("the program is ending");
    std::exception_ptr failure;
    const bool delivered = QMetaObject::invokeMethod(
        application,
        [&] {
            try {
                operation();
            } catch (...) {
                failure = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (!delivered)
        throw std::runtime_error("the user-interface thread is gone");
    if (failure)
        std::rethrow_exception(failure);
}

void TCheckForNewVersionProcess::ShowVideoTutorial() {
    if (setup_.mainWindow)
        online::ShowVideoTutorial(setup_.mainWindow);
}

void TCheckForNewVersionProcess::AskForUpgrade() {
    QWidget* mainWindow = setup_.mainWindow;
    // A window on its way out (File > Exit, the close box) asks nothing more:
    // its destruction may still serve this call while it waits for a job.
    if (!mainWindow || !mainWindow->isVisible())
        return;
    const QString question = QCoreApplication::translate("online", kUpgradeQuestion)
                                 .arg(toolkit::FromProgramText(UpgradeVersion));
    if (ShowBox(mainWindow, toolkit::BoxType::Confirm, question, toolkit::ButtonSet::YesNo) !=
        toolkit::Answer::Yes)
        return;
    DownloadResult result = DownloadResult::Failed;
    {
        TDownloadForm form(mainWindow, setup_.vendorAddress);
        form.SetWaitBound(setup_.waitBound);
        form.StartDownload(kInstallerName);
        form.CentreOverOwner();
        result = form.ShowModal();
    }
    // The installer replaces this program, so it must not keep running.
    if (result == DownloadResult::Started && setup_.endProgram)
        setup_.endProgram();
}

void ShowVideoTutorial(QWidget* mainWindow) {
    if (auto* item = mainWindow->findChild<QAction*>(QStringLiteral("Videotutorial1")))
        item->setVisible(true);
    if (auto* button = mainWindow->findChild<QWidget*>(QStringLiteral("sBitBtnPlayVideo")))
        button->setVisible(true);
    if (auto* input = mainWindow->findChild<QWidget*>(QStringLiteral("sGroupBox1")))
        input->setGeometry(input->x(), input->y() - 4, input->width(), 102);
    if (auto* example = mainWindow->findChild<QWidget*>(QStringLiteral("sLabel3")))
        example->move(example->x(), example->y() + 2);
    if (auto* output = mainWindow->findChild<QWidget*>(QStringLiteral("sGroupBox4")))
        output->move(output->x(), output->y() + 4);
}

std::string VendorAddress(const std::string& websiteDomain) {
    const QString local = qEnvironmentVariable("ARVENZO_VENDOR");
    return local.isEmpty() ? websiteDomain : local.toStdString();
}

} // namespace online
