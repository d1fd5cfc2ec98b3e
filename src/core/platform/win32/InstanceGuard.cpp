#include "platform/InstanceGuard.h"

#include "platform/win32/Handle.h"

namespace platform {

// A named mutex without a namespace prefix lives in the session's own
// namespace, so the guard covers the copies started within one logon.
InstancePlace InstanceAddress(const std::string& name) {
    return {name, {}};
}

// The pipe's access list already keeps it to the user's own logon.
bool PeerIsThisUser(std::intptr_t) {
    return true;
}

struct InstanceGuard::Impl {
    win32::Handle mutex;
    InstancePlace place;
};

InstanceGuard::InstanceGuard(const std::string& name) : impl_(std::make_unique<Impl>()) {
    impl_->place.path = name;
    SetLastError(ERROR_SUCCESS);
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    // Another holder's mutex comes back as a handle too, without ownership;
    // only a mutex this call created is ours.
    const DWORD error = GetLastError();
    if (mutex && error == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return;
    }
    impl_->mutex.Reset(mutex);
}

InstanceGuard::~InstanceGuard() {
    Release();
}

bool InstanceGuard::Acquired() const {
    return static_cast<bool>(impl_->mutex);
}

void InstanceGuard::Release() {
    if (impl_->mutex) {
        // Fails harmlessly on a thread other than the owner; closing the last
        // handle removes the mutex all the same.
        ReleaseMutex(impl_->mutex.Get());
        impl_->mutex.Reset();
    }
}

const InstancePlace& InstanceGuard::Place() const {
    return impl_->place;
}

} // namespace platform
