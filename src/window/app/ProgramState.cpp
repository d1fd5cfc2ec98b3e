#include "app/ProgramState.h"

namespace app {

std::string AppFolder;
std::string WorkFolder;
std::string DocumentPassword;
std::atomic<bool> ExtractionRunning{false};
std::string AppVersion = "1.3";
std::string AppWebsite;
std::string WebsiteDomain;
std::string FeedbackAddress = kFeedbackMailbox;

} // namespace app
