#include "platform/platform.h"
#include "platform/win32/Handle.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <random>

namespace platform {

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

std::string RandomTail() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device source;
    std::string tail(6, ' ');
    for (char& c : tail)
        c = kLetters[source() % (sizeof kLetters - 1)];
    return tail;
}

std::string InFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\' || folder.back() == '/' || folder.back() == ':')
        return folder + name;
    return folder + "\\" + name;
}

} // namespace

struct WorkingFile::Impl {
    std::string path;
    std::string problem;
    std::FILE* file = nullptr;
    std::unique_ptr<char[]> buffer;
    bool published = false;

    void Fail(const std::string& reason) {
        if (problem.empty())
            problem = reason;
    }
    bool Close() {
        std::FILE* f = file;
        file = nullptr;
        if (!f)
            return false;
        if (std::fflush(f) != 0 || std::ferror(f))
            Fail(std::strerror(errno));
        if (std::fclose(f) != 0)
            Fail(std::strerror(errno));
        return problem.empty();
    }
};

WorkingFile::WorkingFile(const std::string& folder, const std::string& namePrefix)
    : impl_(std::make_unique<Impl>()) {
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; handle == INVALID_HANDLE_VALUE && attempt < 100; ++attempt) {
        impl_->path = InFolder(folder, namePrefix + RandomTail());
        // CREATE_NEW refuses any name that is taken, a link too.
        handle = CreateFileA(impl_->path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            break;
    }
    if (handle == INVALID_HANDLE_VALUE) {
        impl_->Fail(win32::SystemMessage(GetLastError()));
        impl_->path.clear();
        return;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
    impl_->file = fd < 0 ? nullptr : _fdopen(fd, "wb");
    if (!impl_->file) {
        impl_->Fail(std::strerror(errno));
        if (fd < 0)
            CloseHandle(handle);
        else
            _close(fd);
        DeleteFileA(impl_->path.c_str());
        impl_->path.clear();
        return;
    }
    impl_->buffer = std::make_unique_for_overwrite<char[]>(kBufferSize);
    std::setvbuf(impl_->file, impl_->buffer.get(), _IOFBF, kBufferSize);
}

WorkingFile::~WorkingFile() {
    if (impl_->file)
        std::fclose(impl_->file);
    if (!impl_->published && !impl_->path.empty())
        DeleteFileA(impl_->path.c_str());
}

bool WorkingFile::Created() const {
    return !impl_->path.empty();
}

const std::string& WorkingFile::Path() const {
    return impl_->path;
}

const std::string& WorkingFile::Problem() const {
    return impl_->problem;
}

bool WorkingFile::Write(const void* data, std::size_t size) {
    if (!impl_->file || !impl_->problem.empty())
        return false;
    if (size > 0 && std::fwrite(data, 1, size, impl_->file) != size) {
        impl_->Fail(std::strerror(errno));
        return false;
    }
    return true;
}

bool WorkingFile::Seek(long long offset, int origin) {
    return impl_->file && _fseeki64(impl_->file, offset, origin) == 0;
}

long long WorkingFile::Tell() {
    return impl_->file ? _ftelli64(impl_->file) : -1;
}

bool WorkingFile::Complete() {
    if (impl_->file)
        return impl_->Close();
    return Created() && impl_->problem.empty();
}

WorkingFile::Outcome WorkingFile::Publish(const std::string& target, bool keepExisting) {
    if (!Complete())
        return Outcome::Failed;
    if (!keepExisting) {
        if (!MoveFileExA(impl_->path.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            impl_->Fail(win32::SystemMessage(GetLastError()));
            return Outcome::Failed;
        }
        impl_->published = true;
        return Outcome::Published;
    }
    if (MoveFileExA(impl_->path.c_str(), target.c_str(), 0)) {
        impl_->published = true;
        return Outcome::Published;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return Outcome::NameTaken;
    impl_->Fail(win32::SystemMessage(error));
    return Outcome::Failed;
}

} // namespace platform
