#include "picker/PickerScratch.h"

#include "extract/LeftFiles.h"
#include "platform/Environment.h"
#include "platform/Files.h"

#include <QRandomGenerator>
#include <algorithm>

namespace picker {

PickerScratch::PickerScratch(std::string base) : base_(std::move(base)) {
    extract::RemoveLeftByEndedRuns(base_, kPickerFolderPrefix, true);
    // Two pickers of one run, one after the other, never share a name.
    stem_ = extract::MarkedPrefix(kPickerFolderPrefix) +
            std::to_string(QRandomGenerator::global()->generate()) + "x";
}

PickerScratch::~PickerScratch() {
    for (const std::string& folder : folders_)
        platform::RemoveFolderWithFiles(folder);
}

std::string PickerScratch::Make() {
    if (base_.empty())
        return {};
    const std::string folder = base_ + stem_ + std::to_string(++made_);
    if (!platform::CreateFolder(folder))
        return {};
    folders_.push_back(folder);
    return platform::WithSeparator(folder);
}

void PickerScratch::Remove(const std::string& folder) {
    const std::string bare =
        folder.substr(0, folder.find_last_not_of(platform::PathSeparator()) + 1);
    const auto made = std::find(folders_.begin(), folders_.end(), bare);
    if (made == folders_.end())
        return;
    platform::RemoveFolderWithFiles(bare);
    folders_.erase(made);
}

} // namespace picker
