// Folders as the POSIX files of the platform layer look into them.
#pragma once

#include <dirent.h>
#include <memory>
#include <string>

namespace platform::posix {

// A real folder of this user's that nobody else may enter or change.
bool PrivateFolder(const std::string& path);

struct FolderCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using OpenFolder = std::unique_ptr<DIR, FolderCloser>;

// The folder `path` opened for reading its entries with `flags` added to
// O_RDONLY | O_DIRECTORY | O_CLOEXEC; empty when it cannot be opened.
OpenFolder OpenFolderAt(const std::string& path, int flags);

} // namespace platform::posix
