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

} // namespace

ScratchNames::~ScratchNames() {
    for (const std::string& path : waiting_)
        unlink(workingName(path).c_str());
}

void ScratchNames::write(const char* extension, const std::function<void(ScratchOutput&)>& fill,
                         bool kept) {
    ScratchOutput out(contract::ScratchName(root_, count_, extension));
    if (kept && hashKept_)
        out.hashAsWritten();
    fill(out);
    out.close();
    if (!out.digest().empty())
        hashed_.push_back({count_, out.size(), out.digest()});
    // Whole, the file has its number even when its name turns out taken.
    ++count_;
    whole(out.path());
}

void ScratchNames::whole(const std::string& path) {
    if (!heldBack_) {
        show(path);
        return;
    }
    try {
        waiting_.push_back(path);
    } catch (...) {
        unlink(workingName(path).c_str());
        throw;
    }
}

void ScratchNames::release() {
    heldBack_ = false;
    std::vector<std::string> waiting;
    waiting.swap(waiting_);
    for (size_t i = 0; i < waiting.size(); ++i) {
        try {
            show(waiting[i]);
        } catch (...) {
            waiting_.assign(waiting.begin() + static_cast<std::ptrdiff_t>(i) + 1, waiting.end());
            throw;
        }
    }
}

} // namespace glimmet
