#include "platform/WorkingFile.h"

#include "platform/common/WorkingFileImpl.h"
#include "platform/win32/Handle.h"
#include "platform/win32/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>

namespace platform {

WorkingFile::WorkingFile(const std::string& folder, const std::string& namePrefix)
    : impl_(std::make_unique<Impl>()) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        impl_->path = win32::InFolder(folder, namePrefix + common::RandomTail());
        // CREATE_NEW refuses any name that is taken, a link too.
        handle = CreateFileA(impl_->path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        impl_->Forget(win32::SystemMessage(GetLastError()));
        return;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    if (std::FILE* file = fd < 0 ? nullptr : _fdopen(fd, "wb")) {
        impl_->Adopt(file);
        return;
    }
    const std::string reason = std::strerror(errno);
    if (fd < 0)
        CloseHandle(handle);
    else
        _close(fd);
    impl_->Abandon(reason);
}

namespace common {

bool SystemRandom(unsigned char*, std::size_t) {
    return false;
}

std::string LastProblem() {
    return win32::SystemMessage(GetLastError());
}

} // namespace common

bool WorkingFile::Seek(long long offset, int origin) {
    impl_->Seeking(offset, origin);
    return impl_->file && _fseeki64(impl_->file, offset, origin) == 0;
}

long long WorkingFile::Tell() {
    return impl_->file ? _ftelli64(impl_->file) : -1;
}

} // namespace platform
