// The picker's scratch folders: one for its thumbnails and two for each
// picture made on demand, all side by side in the window's scratch folder
// under names that carry this run, so that what a run ended by force left
// is known and taken away by a later one.
#pragma once

#include <string>
#include <vector>

namespace picker {

// What every picker folder's name begins with.
inline constexpr const char* kPickerFolderPrefix = "picker-";

class PickerScratch {
public:
    // `base` is the window's scratch folder, with a final separator. What
    // ended runs left there goes now.
    explicit PickerScratch(std::string base);
    // Every folder made, with the files in it.
    ~PickerScratch();
    PickerScratch(const PickerScratch&) = delete;
    PickerScratch& operator=(const PickerScratch&) = delete;

    // A new private folder, with a final separator; empty when none can be
    // made.
    std::string Make();
    // Removes a folder Make gave, with its files.
    void Remove(const std::string& folder);

private:
    std::string base_;
    std::string stem_;
    int made_ = 0;
    std::vector<std::string> folders_;
};

} // namespace picker
