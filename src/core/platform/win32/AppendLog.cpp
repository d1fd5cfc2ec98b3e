#include "platform/AppendLog.h"

#include <cstdio>

namespace platform {

// Appended and flushed line by line: what is flushed outlives the process.
struct AppendLog::Impl {
    std::string path;
    std::FILE* file = nullptr;
};

AppendLog::AppendLog(std::string path) : impl_(std::make_unique<Impl>()) {
    impl_->path = std::move(path);
}

AppendLog::~AppendLog() {
    Close();
}

bool AppendLog::Append(const std::string& text) {
    if (!impl_->file)
        impl_->file = std::fopen(impl_->path.c_str(), "ab");
    return impl_->file && std::fwrite(text.data(), 1, text.size(), impl_->file) == text.size() &&
           std::fflush(impl_->file) == 0;
}

void AppendLog::Close() {
    if (impl_->file)
        std::fclose(impl_->file);
    impl_->file = nullptr;
}

} // namespace platform
