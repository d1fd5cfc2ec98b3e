// What the program knows of itself while it runs. main() makes one and hands
// it to the main window, which fills it in at start-up; tests make their own.
#pragma once

#include <atomic>
#include <string>

namespace app {

inline constexpr const char* kProductName = "Arvenzo";
inline constexpr const char* kVendorDomain = "tessaly.example";
inline constexpr const char* kFeedbackMailbox = "mailto:feedback@";

// Everything here but the password and the running flag is written once,
// while the main window is made, before any worker exists.
struct AppContext {
    std::string appFolder;        // the executable's folder, with a final separator
    std::string workFolder;       // the scratch folder, with a final separator
    std::string documentPassword; // user password of the current document
    std::atomic<bool> extractionRunning{false};
    std::string version = "1.3";                    // from the install record
    std::string website;                            // from the install record
    std::string websiteDomain;                      // the vendor's host, as shown
    std::string feedbackAddress = kFeedbackMailbox; // the vendor's feedback mail link
};

} // namespace app
