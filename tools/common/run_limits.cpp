#include "run_limits.h"

#include "ToolContract.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

namespace tools {

namespace {

// A positive number from the environment, if it is there and no larger than
// `ceiling`.
template <class T> T loweredBy(const char* variable, T ceiling) {
    const char* text = std::getenv(variable);
    if (!text)
        return ceiling;
    T value{};
    const char* end = text + std::strlen(text);
    auto [ptr, ec] = std::from_chars(text, end, value);
    if (ec != std::errc() || ptr != end || value <= 0)
        return ceiling;
    return std::min(value, ceiling);
}

// Asked once a run: every page's images ask, and each asking is a system call.
std::uint64_t physicalMemory() {
    static const std::uint64_t memory = [] {
        long pages = sysconf(_SC_PHYS_PAGES);
        long pageSize = sysconf(_SC_PAGESIZE);
        if (pages <= 0 || pageSize <= 0)
            return std::uint64_t(0);
        return std::uint64_t(pages) * std::uint64_t(pageSize);
    }();
    return memory;
}

// The signal handler may only write and end, so its line is made up front;
// the page number is the one part filled in when the budget runs out.
struct BudgetLine {
    char head[512] = "Error: ";
    size_t headLength = 7;
    char tail[96] = {};
    size_t tailLength = 0;
    volatile std::sig_atomic_t page = 0;
    char file[4096] = {};
    volatile std::sig_atomic_t hasFile = 0;
    // What the budget allows: the seconds of a page, and the most the run
    // may reach in all (a limit set from outside included). Zero seconds
    // while no budget runs.
    rlim_t seconds = 0;
    rlim_t ceiling = RLIM_INFINITY;
    rlim_t renewedAt = RLIM_INFINITY; // the time used when last renewed
    std::chrono::steady_clock::time_point checkedAt;
};
BudgetLine budgetLine; // read by the signal handler, hence not on any stack

void writeAll(const char* text, size_t length) {
    while (length > 0) {
        ssize_t n = write(STDERR_FILENO, text, length);
        if (n <= 0)
            return;
        text += n;
        length -= static_cast<size_t>(n);
    }
}

extern "C" void onBudgetUsedUp(int) {
    if (budgetLine.hasFile)
        unlink(budgetLine.file);
    writeAll(budgetLine.head, budgetLine.headLength);
    int page = budgetLine.page;
    if (page > 0) {
        char digits[16];
        size_t at = sizeof digits;
        const char after[] = ": ";
        for (int rest = page; rest > 0 && at > 0; rest /= 10)
            digits[--at] = static_cast<char>('0' + rest % 10);
        writeAll("page ", 5);
        writeAll(digits + at, sizeof digits - at);
        writeAll(after, 2);
    }
    writeAll(budgetLine.tail, budgetLine.tailLength);
    _exit(1);
}

// The processor time used so far, in whole seconds rounded down: rounded
// up, a page's budget would grow by up to a second.
rlim_t processorTimeUsed() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0)
        return 0;
    const long long micros = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                             usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    return static_cast<rlim_t>(micros / 1000000);
}

// The soft limit sends SIGXCPU once the page has had its seconds.
// Renewed only when the time used has grown by a whole second: a run of
// many short pages makes no call for most of them.
void renewBudget() {
    BudgetLine& line = budgetLine;
    if (line.seconds == 0)
        return;
    // The tool runs one thread, so its processor time grows no faster than
    // the clock: within a tenth of a second of the last look it cannot have
    // grown enough to matter, and the look, a system call, is spared.
    const auto now = std::chrono::steady_clock::now();
    if (line.renewedAt != RLIM_INFINITY && now - line.checkedAt < std::chrono::milliseconds(100))
        return;
    line.checkedAt = now;
    rlimit limit{};
    const rlim_t used = processorTimeUsed();
    if (used == line.renewedAt || getrlimit(RLIMIT_CPU, &limit) != 0)
        return;
    line.renewedAt = used;
    limit.rlim_cur = std::min(used + line.seconds, line.ceiling);
    if (limit.rlim_max != RLIM_INFINITY)
        limit.rlim_cur = std::min(limit.rlim_cur, limit.rlim_max);
    setrlimit(RLIMIT_CPU, &limit);
}

} // namespace

int processorSeconds() {
    return loweredBy("ARVENZO_CPU_SECONDS", kProcessorSeconds);
}

std::uint64_t imageMemoryBound() {
    std::uint64_t bound = kImageMemoryCap;
    if (std::uint64_t memory = physicalMemory())
        bound = std::min(bound, memory / kImageMemoryShare);
    return loweredBy("ARVENZO_IMAGE_BYTES", bound);
}

std::uint64_t mupdfMemoryCap() {
    return imageMemoryBound() + (std::uint64_t(512) << 20);
}

void startProcessorBudget(const std::string& subject, long long pages) {
    const int seconds = processorSeconds();
    BudgetLine& line = budgetLine;
    if (!subject.empty()) {
        std::string head = "Error: " + subject + ": ";
        line.headLength = std::min(head.size(), sizeof line.head - 1);
        std::memcpy(line.head, head.data(), line.headLength);
    }
    std::string tail =
        "gave up after " + std::to_string(seconds) + contract::kOutOfProcessorTime + "\n";
    line.tailLength = std::min(tail.size(), sizeof line.tail);
    std::memcpy(line.tail, tail.data(), line.tailLength);

    struct sigaction action {};
    action.sa_handler = onBudgetUsedUp;
    sigemptyset(&action.sa_mask);
    sigaction(SIGXCPU, &action, nullptr);

    // The soft limit sends SIGXCPU; the hard one, a little after the last
    // page's budget, ends the tool should even the handler not get to run.
    // A limit set from outside that is already lower stays.
    rlimit limit{};
    if (getrlimit(RLIMIT_CPU, &limit) != 0)
        return;
    const rlim_t perPage = static_cast<rlim_t>(seconds);
    const rlim_t most = RLIM_INFINITY / 2 / perPage;
    const rlim_t count = pages < 1 ? 1 : std::min(static_cast<rlim_t>(pages), most);
    rlim_t hard = count < most ? count * perPage + 5 : RLIM_INFINITY;
    if (limit.rlim_max != RLIM_INFINITY)
        hard = std::min(hard, limit.rlim_max);
    line.ceiling = std::min(hard, limit.rlim_cur);
    line.seconds = perPage;
    limit.rlim_cur = line.ceiling;
    limit.rlim_max = hard;
    setrlimit(RLIMIT_CPU, &limit);
    renewBudget();
}

void budgetPage(int page) {
    budgetLine.page = page;
    renewBudget();
}

void budgetFile(const char* path) {
    budgetLine.hasFile = 0;
    if (!path || std::strlen(path) >= sizeof budgetLine.file)
        return;
    std::strcpy(budgetLine.file, path);
    budgetLine.hasFile = 1;
}

} // namespace tools
