#include "platform/Shell.h"

#include "platform/common/DesktopOpener.h"

#include <mutex>

namespace platform {

namespace {

struct ShellSeam {
    std::mutex lock;
    ShellOpener opener;
};

ShellSeam& Seam() {
    static ShellSeam seam;
    return seam;
}

} // namespace

void SetShellOpener(ShellOpener opener) {
    std::lock_guard guard(Seam().lock);
    Seam().opener = std::move(opener);
}

bool OpenWithShell(const std::string& target) {
    ShellOpener opener;
    {
        std::lock_guard guard(Seam().lock);
        opener = Seam().opener;
    }
    return opener ? opener(target) : common::OpenWithDesktop(target);
}

} // namespace platform
