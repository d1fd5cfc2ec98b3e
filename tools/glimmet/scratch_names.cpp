#include "scratch_names.h"

#include "ToolContract.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace glimmet {

namespace {

// Gives a whole file its own name, refusing one that is taken.
void show(const std::string& path) {
    const std::string working = workingName(path);
    if (renameat2(AT_FDCWD, working.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0)
        return;
    if (errno == EINVAL || errno == ENOSYS) { // a file system without that rename
        if (link(working.c_str(), path.c_str()) == 0) {
            unlink(working.c_str());
            return;
        }
    }
    const int err = errno;
    unlink(working.c_str());
    failWriting(path, err);
}

std::string fileName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void ScratchNames::write(const char* extension, const std::function<void(ScratchOutput&)>& fill,
                         bool kept) {
    ScratchOutput out(contract::ScratchName(root_, next_ - 1, extension));
    if (kept && hashKept_)
        out.hashAsWritten();
    fill(out);
    out.close();
    // Whole, the file has its number even when its name turns out taken.
    const int number = next_++;
    show(out.path());
    if (told_)
        told_({number, fileName(out.path()), out.size(), out.digest()});
}

std::string ScratchNames::writeBeside(int number, const char* extension, const std::string& bytes) {
    ScratchOutput out(contract::ScratchName(root_, number - 1, extension));
    out.write(bytes.data(), bytes.size());
    out.close();
    show(out.path());
    return fileName(out.path());
}

} // namespace glimmet
