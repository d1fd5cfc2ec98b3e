#include "extract/ScratchFiles.h"

#include "platform/Files.h"

namespace extract {

void EmptyFolder(const std::string& folder) {
    if (folder.empty())
        return; // never the current folder
    for (const std::string& name : platform::ListFiles(folder, "*.*"))
        platform::RemoveFile(folder + name);
}

} // namespace extract
