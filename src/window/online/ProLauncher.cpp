#include "online/ProLauncher.h"

#include "online/DownloadManager.h"
#include "platform/Files.h"
#include "platform/InstallRecord.h"
#include "platform/Shell.h"
#include "toolkit/BusyCursor.h"

#include <QWidget>
#include <stdexcept>

namespace online {

void StartProVersion(QWidget* mainWindow, const std::string& vendorAddress,
                     std::chrono::milliseconds waitBound) {
    try {
        const platform::MachineValue installed =
            platform::ReadMachineValue(kProEditionKey, kProEditionValue);
        if (installed.kind == platform::MachineValue::Kind::Unreadable)
            throw std::runtime_error("InstallPath cannot be read as text");
        if (!installed.text.empty() && platform::FileExists(installed.text)) {
            platform::OpenWithShell(installed.text);
            return;
        }
        DownloadResult result = DownloadResult::Failed;
        {
            TDownloadForm form(mainWindow, vendorAddress);
            form.SetWaitBound(waitBound);
            {
                // Nothing is on screen until the vendor has answered.
                toolkit::BusyCursor busy;
                form.StartDownload("Quorrin");
            }
            form.CentreOverOwner();
            result = form.ShowModal();
        }
        // Unlike an upgrade, the pro edition's installer does not replace us.
        if (result == DownloadResult::Started && mainWindow)
            mainWindow->window()->showMinimized();
    } catch (...) {
        // Silent by design: the download window has said whatever it had to.
    }
}

} // namespace online
