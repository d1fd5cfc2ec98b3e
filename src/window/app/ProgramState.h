// The process-wide state of the program. Everything here but
// DocumentPassword and ExtractionRunning is written once, while the main
// window is created, before any worker exists.
#pragma once

#include <atomic>
#include <string>

namespace app {

inline constexpr const char* kProductName = "Arvenzo";
inline constexpr const char* kVendorDomain = "tessaly.example";
inline constexpr const char* kFeedbackMailbox = "mailto:feedback@";

extern std::string AppFolder;        // the executable's folder, with a final separator
extern std::string WorkFolder;       // the scratch folder, with a final separator
extern std::string DocumentPassword; // user password of the current document
extern std::atomic<bool> ExtractionRunning;
extern std::string AppVersion;      // from the install record
extern std::string AppWebsite;      // from the install record
extern std::string WebsiteDomain;   // the vendor's host, as shown
extern std::string FeedbackAddress; // the vendor's feedback mail link

} // namespace app
