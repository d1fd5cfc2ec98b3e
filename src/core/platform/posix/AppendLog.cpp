#include "platform/AppendLog.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::size_t kReserve = 64 * 1024;

} // namespace

struct AppendLog::Impl {
    std::string path;
    int fd = -1;
    char* map = nullptr;
    std::size_t used = 0;     // bytes of text
    std::size_t capacity = 0; // bytes mapped, blocks reserved
    bool direct = false;      // written with write(2), the reserve refused

    bool Open() {
        fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return false;
        // What an earlier run wrote stays, its reserve left out.
        const std::string before = ReadAppendLog(path);
        used = before.size();
        return Grow(used + 1);
    }

    bool Grow(std::size_t need) {
        if (direct)
            return true;
        std::size_t next = std::max(capacity * 2, kReserve);
        while (next < need)
            next *= 2;
        // Blocks reserved first: a shared mapping over a hole of a full disk
        // would end the process with SIGBUS on the first line written.
        if (posix_fallocate(fd, 0, static_cast<off_t>(next)) != 0) {
            Unmap();
            direct = ftruncate(fd, static_cast<off_t>(used)) == 0;
            return direct;
        }
        void* mapped = mmap(nullptr, next, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED) {
            Unmap();
            direct = ftruncate(fd, static_cast<off_t>(used)) == 0;
            return direct;
        }
        Unmap();
        map = static_cast<char*>(mapped);
        capacity = next;
        return true;
    }

    void Unmap() {
        if (map)
            munmap(map, capacity);
        map = nullptr;
        capacity = 0;
    }

    bool Append(const std::string& text) {
        if (!direct && used + text.size() > capacity && !Grow(used + text.size()))
            return false;
        if (direct) {
            if (pwrite(fd, text.data(), text.size(), static_cast<off_t>(used)) !=
                static_cast<ssize_t>(text.size()))
                return false;
        } else {
            std::memcpy(map + used, text.data(), text.size());
        }
        used += text.size();
        return true;
    }

    void Close() {
        if (fd < 0)
            return;
        Unmap();
        if (ftruncate(fd, static_cast<off_t>(used)) != 0) {
            // The NUL bytes stay; readers stop at them.
        }
        close(fd);
        fd = -1;
    }
};

AppendLog::AppendLog(std::string path) : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
}

AppendLog::~AppendLog() {
    impl_->Close();
}

bool AppendLog::Append(const std::string& text) {
    if (impl_->fd < 0 && !impl_->Open()) {
        impl_->Close();
        return false;
    }
    return impl_->Append(text);
}

void AppendLog::Close() {
    impl_->Close();
}

} // namespace platform
