#include "extract/LeftFiles.h"

#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Processes.h"

namespace extract {

std::string MarkedPrefix(const std::string& prefix) {
    return prefix + platform::ProcessMark() + "-";
}

void RemoveLeftByEndedRuns(const std::string& folder, const std::string& prefix, bool folders) {
    if (folder.empty())
        return;
    std::string base = folder;
    if (base.back() != '/' && base.back() != platform::PathSeparator())
        base += platform::PathSeparator();
    for (const std::string& name : platform::OwnEntries(folder, prefix, folders)) {
        // prefix, mark ("id-start"), "-", random tail
        const std::size_t tail = name.rfind('-');
        if (tail == std::string::npos || tail <= prefix.size() ||
            !platform::ProcessEnded(name.substr(prefix.size(), tail - prefix.size())))
            continue;
        if (folders)
            platform::RemoveFolderWithFiles(base + name);
        else
            platform::RemoveFile(base + name);
    }
}

} // namespace extract
