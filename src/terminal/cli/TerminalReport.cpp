#include "cli/TerminalReport.h"

#include "platform/Terminal.h"
#include "text/TextRules.h"

#include <algorithm>
#include <type_traits>
#include <variant>

namespace cli {

namespace {

std::string Clock(std::chrono::seconds s) {
    const long long total = s.count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld", total / 60, total % 60);
    return buffer;
}

constexpr auto kRedraw = std::chrono::milliseconds(100);
constexpr int kBarWidth = 24;
constexpr int kNarrowestBar = 8;

// "page 3 of 10, 12 images, 0:03 elapsed, 0:07 left"
std::string ProgressLine(int pagesDone, int pages, int images, std::chrono::seconds elapsed) {
    std::string line = "page " + std::to_string(pagesDone) + " of " + std::to_string(pages) + ", " +
                       std::to_string(images) + (images == 1 ? " image, " : " images, ") +
                       Clock(elapsed) + " elapsed";
    if (pagesDone > 0 && pagesDone < pages) {
        const auto left = elapsed * (pages - pagesDone) / pagesDone;
        line += ", " + Clock(std::chrono::duration_cast<std::chrono::seconds>(left)) + " left";
    }
    return line;
}

// The bar and `line` as one terminal row of fewer than `width` columns:
// the bar shrinks, then goes, then the line is cut.
std::string BarRow(int done, int pages, const std::string& line, int width) {
    // The last column stays free: a row that fills it wraps on some
    // terminals, and the next redraw would leave the wrapped part behind.
    const int room = width - 1;
    const int lineWidth = static_cast<int>(line.size());
    const int barWidth = std::min(kBarWidth, room - lineWidth - 3);
    if (barWidth < kNarrowestBar)
        return line.substr(0, static_cast<std::size_t>(std::max(room, 0)));
    const int filled = pages > 0 ? done * barWidth / pages : barWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(static_cast<std::size_t>(barWidth), '.');
    return "[" + bar + "] " + line;
}

} // namespace

TerminalReport::TerminalReport(extract::JobRequest request, const Messages& messages, bool terminal,
                               bool quiet)
    : request_(std::move(request)), messages_(messages), out_(messages.Stream()),
      terminal_(terminal), quiet_(quiet) {}

extract::JobRequest TerminalReport::BeginJob() {
    start_ = std::chrono::steady_clock::now();
    pages_ = std::max(request_.lastPage - request_.firstPage + 1, 0);
    return request_;
}

void TerminalReport::Tell(const extract::JobEvent& event) {
    std::visit(
        [this](const auto& e) {
            using Event = std::decay_t<decltype(e)>;
            if constexpr (std::is_same_v<Event, extract::PageDone>)
                PageDone();
            else if constexpr (std::is_same_v<Event, extract::ImageWritten>)
                ++written_;
            else if constexpr (std::is_same_v<Event, extract::ImageNotReplaced>)
                Say("not written: " + e.path + " exists");
            else if constexpr (std::is_same_v<Event, extract::ImageFailed>)
                Say(extract::NamedFailure(e.failure));
            else if constexpr (std::is_same_v<Event, extract::JobFinished>)
                Finish(e);
            else if constexpr (std::is_same_v<Event, extract::JobFailed>)
                Say(e.message);
        },
        event);
}

void TerminalReport::Waiting() {
    if (drawOwed_ && std::chrono::steady_clock::now() - shownAt_ >= kRedraw)
        Show();
}

void TerminalReport::EndJob() {
    Show();
    EndBar();
}

void TerminalReport::Finish(const extract::JobFinished& finished) {
    finished_ = finished;
    SayLeftOut(finished);
    if (finished.failed > 0)
        Say(std::to_string(finished.written) + (finished.written == 1 ? " image" : " images") +
            " written, " + std::to_string(finished.failed) + " failed; see above");
    if (finished.after == extract::AfterJob::NoImagesFound)
        Say("No images found in selected PDF!");
    else if (finished.after == extract::AfterJob::OpenFolder && finished.failed == 0)
        Say(std::to_string(written_) + (written_ == 1 ? " image" : " images") + " written to " +
            request_.conversion.outputFolder);
}

// The page's line comes once its images are converted, so that its count
// holds them. The last page is shown at once; the others once kRedraw has
// passed, here or while the job waits.
void TerminalReport::PageDone() {
    ++pagesDone_;
    if (quiet_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!terminal_) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - start_);
        heldLines_ += ProgressLine(pagesDone_, pages_, written_, elapsed) + "\n";
    }
    drawOwed_ = true;
    if (pagesDone_ >= pages_ || now - shownAt_ >= kRedraw)
        Show();
}

void TerminalReport::Show() {
    if (!drawOwed_)
        return;
    drawOwed_ = false;
    const auto now = std::chrono::steady_clock::now();
    shownAt_ = now;
    if (std::ferror(out_)) {
        heldLines_.clear();
        return;
    }
    if (!terminal_) {
        std::fputs(heldLines_.c_str(), out_);
        std::fflush(out_);
        heldLines_.clear();
        return;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now - start_);
    const std::string line = ProgressLine(pagesDone_, pages_, written_, elapsed);
    // Asked at every redraw: the window may have been resized.
    const int width = platform::ErrorTerminalWidth();
    const std::string row = BarRow(pagesDone_, pages_, line, width > 0 ? width : 80);
    std::fprintf(out_, "\r\x1b[K%s", row.c_str());
    std::fflush(out_);
    barShown_ = true;
}

void TerminalReport::EndBar() {
    if (barShown_) {
        std::fputc('\n', out_);
        barShown_ = false;
    }
}

void TerminalReport::Say(const std::string& message) {
    // What was held back of the pages comes before what is said after them.
    Show();
    EndBar();
    messages_.Say(message);
}

void TerminalReport::SayLeftOut(const extract::JobFinished& finished) {
    const int repeats = finished.repeats;
    const int small = finished.small;
    const auto pictures = [](int n) {
        return std::to_string(n) + (n == 1 ? " picture" : " pictures");
    };
    if (request_.pictures.unique)
        Say((repeats == 1 ? "1 repeat" : std::to_string(repeats) + " repeats") +
            " of a picture written left out");
    if (request_.pictures.HasMinimum())
        Say(pictures(small) + " smaller than " + request_.pictures.MinimumText() + " left out");
}

} // namespace cli
