// The installer's record of a product: its version and web page.
#pragma once

#include <string>

namespace app {

// Empty when the record, or the value in it, is missing or unreadable.
std::string ReadInstallVersion(const std::string& productName);
std::string ReadInstallWebsite(const std::string& productName);

} // namespace app
