// The images glimmet.bin leaves in the scratch folder.
#pragma once

#include <string>
#include <vector>

namespace extract {

// The scratch images in the tool's numbering order ("tmp-999" before
// "tmp-1000"), names only. Only ordinary files named as the tool names
// them (the scratch root, "-", its number, one of its extensions) are
// taken: anything else in the folder is not the tool's work.
std::vector<std::string> ScratchImages(const std::string& workFolder);

// Deletes every ordinary file of the folder; hidden files and sub-folders
// stay.
void EmptyFolder(const std::string& folder);

// Deletes what a tool that was ended early left under its working names.
void RemoveUnfinished(const std::string& folder);

} // namespace extract
