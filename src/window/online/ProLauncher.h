// "Start Pro version": starts the installed professional edition, Quorrin,
// or fetches and starts its installer.
#pragma once

#include "http/HttpClient.h"

#include <chrono>
#include <string>

class QWidget;

namespace online {

// Where Quorrin's installer leaves the path of its program file.
inline constexpr const char* kProEditionKey = "\\SOFTWARE\\Tessaly\\Quorrin";
inline constexpr const char* kProEditionValue = "InstallPath";

// One press of the button or the menu item. Never raises and never reports:
// a failure just leaves the program as it was. After the installer has been
// started, the main window is minimized.
void StartProVersion(QWidget* mainWindow, const std::string& vendorAddress,
                     std::chrono::milliseconds waitBound = http::Client::kDefaultWaitBound);

} // namespace online
