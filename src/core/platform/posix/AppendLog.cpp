#include "platform/AppendLog.h"

#include <fcntl.h>
#include <unistd.h>

namespace platform {

struct AppendLog::Impl {
    std::string path;
    int fd = -1;
};

AppendLog::AppendLog(std::string path) : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
}

AppendLog::~AppendLog() {
    Close();
}

bool AppendLog::Append(const std::string& text) {
    if (impl_->fd < 0)
        impl_->fd = open(impl_->path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    // One write(2) a line: the system keeps it whole when the process dies.
    return impl_->fd >= 0 &&
           write(impl_->fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

void AppendLog::Close() {
    if (impl_->fd >= 0)
        close(impl_->fd);
    impl_->fd = -1;
}

} // namespace platform
