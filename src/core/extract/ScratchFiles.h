// The scratch folder glimmet.bin writes its images into.
#pragma once

#include <string>

namespace extract {

// Deletes every ordinary file of the folder; hidden files and sub-folders
// stay.
void EmptyFolder(const std::string& folder);

} // namespace extract
