// The once-per-run question to the vendor: is there a tutorial video, and is
// there a newer Arvenzo? Runs on its own thread; every failure is silent.
#pragma once

#include "http/HttpClient.h"

#include <QPointer>
#include <QThread>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>

namespace online {

struct VersionCheckSetup {
    std::string appVersion;    // the installed version
    std::string vendorAddress; // host, optionally ":" and a port
    // Gets the video controls, owns the question and the download window.
    QPointer<QWidget> mainWindow;
    // Ends the program once the upgrade's installer has been started.
    std::function<void()> endProgram;
    std::chrono::milliseconds waitBound = http::Client::kDefaultWaitBound;
};

class TCheckForNewVersionProcess : public QThread {
    Q_OBJECT
public:
    explicit TCheckForNewVersionProcess(VersionCheckSetup setup);

    // Creates the worker, lets it free itself when done and starts it.
    // Nobody waits for it; the pointer is only for watching it.
    static TCheckForNewVersionProcess* Start(VersionCheckSetup setup);

protected:
    void run() override;

private:
    void Execute();
    // Both run on the user-interface thread, the worker waiting meanwhile.
    void ShowVideoTutorial();
    void AskForUpgrade();
    template <class Operation> void Synchronize(Operation operation);

    VersionCheckSetup setup_;
    std::string UpgradeMessage;
    std::string UpgradeVersion; // the version the question offers
};

// Shows the main window's video button and menu item and makes room for
// them; found by their object names.
void ShowVideoTutorial(QWidget* mainWindow);

// The address the program's online side talks to: the vendor's web address,
// unless ARVENZO_VENDOR names another host[:port] (for trying the program
// against a local service).
std::string VendorAddress(const std::string& websiteDomain);

} // namespace online
