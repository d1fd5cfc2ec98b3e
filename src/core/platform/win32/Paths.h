// Paths as the Windows calls take them, in the system's code page.
#pragma once

#include <string>

namespace platform::win32 {

// `name` inside `folder`, with a backslash between them unless `folder`
// already ends in a separator or is a drive ("C:").
std::string InFolder(const std::string& folder, const std::string& name);

} // namespace platform::win32
