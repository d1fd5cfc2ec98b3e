#include "platform/common/DesktopOpener.h"
#include "platform/win32/Handle.h"

#include <objbase.h>
#include <shellapi.h>

namespace platform::common {

bool OpenWithDesktop(const std::string& target) {
    // The shell may hand the target to extensions that need COM, and the
    // extraction worker's thread has not set it up.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const HINSTANCE result =
        ShellExecuteA(GetActiveWindow(), "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com))
        CoUninitialize();
    // Above 32 is success; below is the system's error number.
    return reinterpret_cast<INT_PTR>(result) > 32;
}

} // namespace platform::common
