#include "record_channel.h"

#include "ToolContract.h"
#include "picture_sieve.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <unistd.h>

namespace glimmet {

namespace {

// Past this, a line from the program is not one it meant.
constexpr std::size_t kLongestLine = 4096;

long long number(const std::string& text) {
    long long value = 0;
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return text.empty() || ec != std::errc() || ptr != text.data() + text.size() ? -1 : value;
}

} // namespace

void RecordChannel::say(const char* label, const std::vector<std::string>& fields) {
    std::fputs(contract::FormatRecord(label, fields).c_str(), stdout);
}

void RecordChannel::flush() {
    std::fflush(stdout);
}

bool RecordChannel::awaitGo(int page) {
    // What this page waits on is what the program needs to see first.
    if (granted_ < page)
        flush();
    while (granted_ < page)
        if (!readMore())
            return false;
    return true;
}

bool RecordChannel::readMore() {
    if (ended_)
        return false;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = read(STDIN_FILENO, buffer, sizeof buffer)) < 0 && errno == EINTR) {
    }
    if (n <= 0) {
        ended_ = true;
        return false;
    }
    partial_.append(buffer, static_cast<std::size_t>(n));
    std::size_t start = 0;
    for (std::size_t end; (end = partial_.find('\n', start)) != std::string::npos; start = end + 1)
        take(partial_.substr(start, end - start));
    partial_.erase(0, start);
    if (partial_.size() > kLongestLine)
        partial_.clear();
    return true;
}

void RecordChannel::take(const std::string& line) {
    const contract::Record record = contract::ParseRecord(line);
    const auto& f = record.fields;
    if (record.label == contract::kGo && f.size() == 1) {
        granted_ = std::max(granted_, number(f[0]));
    } else if (record.label == contract::kSeen && f.size() == 3) {
        const long long file = number(f[2]);
        if (file >= 0)
            sieve_.remember(f[0], f[1], static_cast<int>(file));
    }
}

} // namespace glimmet
