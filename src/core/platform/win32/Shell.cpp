#include "platform/platform.h"
#include "platform/win32/Handle.h"

#include <objbase.h>
#include <shellapi.h>

namespace platform {

namespace {

struct ShellSeam {
    SRWLOCK lock = SRWLOCK_INIT;
    ShellOpener opener;
};

ShellSeam& Seam() {
    static ShellSeam seam;
    return seam;
}

} // namespace

void SetShellOpener(ShellOpener opener) {
    win32::ExclusiveLock guard(Seam().lock);
    Seam().opener = std::move(opener);
}

void OpenWithShell(const std::string& target) {
    ShellOpener opener;
    {
        win32::ExclusiveLock guard(Seam().lock);
        opener = Seam().opener;
    }
    if (opener) {
        opener(target);
        return;
    }
    // The shell may hand the target to extensions that need COM, and the
    // extraction worker's thread has not set it up.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteA(GetActiveWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com))
        CoUninitialize();
}

} // namespace platform
