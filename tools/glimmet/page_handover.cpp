#include "page_handover.h"

#include "ToolContract.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace glimmet {

// Started ahead of its turn, the tool is handed a descriptor in
// contract::kGoVariable. It does its page then, but its files keep their
// working names until the program closes that descriptor: the previous
// page's images are still being converted, under the same names. None when
// the tool runs in its turn. contract::kPageVariable likewise names where a
// run that goes page by page says each page is done.
std::optional<int> descriptorIn(const char* variable) {
    const char* named = std::getenv(variable);
    if (!named)
        return std::nullopt;
    int fd = -1;
    const char* end = named + std::strlen(named);
    auto [ptr, ec] = std::from_chars(named, end, fd);
    if (ec != std::errc() || ptr != end || fd < 0)
        return std::nullopt;
    return fd;
}

void awaitGo(int fd) {
    char ignored[64];
    for (;;) {
        const ssize_t n = read(fd, ignored, sizeof ignored);
        if (n == 0 || (n < 0 && errno != EINTR))
            break;
    }
    close(fd);
}

PageHandover::PageHandover(int go, int done) : go_(go), done_(done) {
    out_ = std::exchange(stdout, counted(STDOUT_FILENO));
    err_ = std::exchange(stderr, counted(STDERR_FILENO));
    std::setvbuf(stderr, nullptr, _IONBF, 0);
}
PageHandover::~PageHandover() {
    std::fclose(std::exchange(stdout, out_));
    std::fclose(std::exchange(stderr, err_));
    close(go_);
    close(done_);
}

// A page whose go is there already names its files as they are written, so
// that what it wrote stays the program's should the run die on the page.
// The program sends goes right away only after a page with files, so only
// then are they looked for: a run of pages without files makes no call.
void PageHandover::begin(ScratchNames& names) {
    ++owed_;
    named_ = names.count();
    pollfd ready{go_, POLLIN, 0};
    while (lastHadFiles_ && owed_ > 0 && poll(&ready, 1, 0) > 0)
        if (!takeGo())
            break; // the program wants no more pages: release() finds out
    if (owed_ > 0)
        names.holdBack();
}

bool PageHandover::release(ScratchNames& names, bool& failed) {
    while (names.holding() && owed_ > 0) {
        pollfd ready{go_, POLLIN, 0};
        if (poll(&ready, 1, 0) <= 0 && !askForGo())
            return false;
        if (!takeGo())
            return false;
    }
    try {
        names.release();
    } catch (const WriteError& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        failed = true;
    }
    return true;
}

bool PageHandover::report(const ScratchNames& names, int page) {
    std::fflush(stdout);
    lastHadFiles_ = names.count() > named_;
    const std::string line = std::to_string(page) + " " + std::to_string(names.count() - named_) +
                             " " + std::to_string(printed_) + "\n";
    return write(done_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

bool PageHandover::askForGo() {
    const std::string line = std::string(contract::kGoWanted) + "\n";
    return write(done_, line.data(), line.size()) == static_cast<ssize_t>(line.size());
}

// Takes what is there of the goes owed, never more: the program sends
// them in bursts.
bool PageHandover::takeGo() {
    char bytes[4096];
    const auto wanted = static_cast<std::size_t>(std::min<int>(owed_, sizeof bytes));
    ssize_t n = 0;
    while ((n = read(go_, bytes, wanted)) < 0 && errno == EINTR) {
    }
    if (n > 0)
        owed_ -= static_cast<int>(n);
    return n > 0;
}

FILE* PageHandover::counted(int fd) {
    cookie_io_functions_t io{};
    io.write = [](void* self, const char* data, size_t size) -> ssize_t {
        auto& counter = *static_cast<Output*>(self);
        for (size_t done = 0; done < size;) {
            const ssize_t n = write(counter.fd, data + done, size - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return done > 0 ? static_cast<ssize_t>(done) : -1;
            done += static_cast<size_t>(n);
            *counter.printed += static_cast<unsigned long long>(n);
        }
        return static_cast<ssize_t>(size);
    };
    Output& output = fd == STDOUT_FILENO ? stdout_ : stderr_;
    output = {fd, &printed_};
    return fopencookie(&output, "w", io);
}

} // namespace glimmet
