#include "cli/TerminalReport.h"

#include "platform/Terminal.h"
#include "text/TextRules.h"

#include <algorithm>

namespace cli {

namespace {

std::string Clock(std::chrono::seconds s) {
    const long long total = s.count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld", total / 60, total % 60);
    return buffer;
}

constexpr int kBarWidth = 24;
constexpr int kNarrowestBar = 8;

} // namespace

TerminalReport::TerminalReport(extract::JobSettings settings, const Messages& messages,
                               bool terminal, bool quiet)
    : settings_(std::move(settings)), messages_(messages), out_(messages.Stream()),
      terminal_(terminal), quiet_(quiet) {}

std::string TerminalReport::ProgressLine(int pagesDone, int pages, int images,
                                         std::chrono::seconds elapsed) {
    std::string line = "page " + std::to_string(pagesDone) + " of " + std::to_string(pages) + ", " +
                       std::to_string(images) + (images == 1 ? " image, " : " images, ") +
                       Clock(elapsed) + " elapsed";
    if (pagesDone > 0 && pagesDone < pages) {
        const auto left = elapsed * (pages - pagesDone) / pagesDone;
        line += ", " + Clock(std::chrono::duration_cast<std::chrono::seconds>(left)) + " left";
    }
    return line;
}

std::string TerminalReport::BarRow(int done, int pages, const std::string& line, int width) {
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

extract::JobSettings TerminalReport::BeginExtractionUi() {
    start_ = std::chrono::steady_clock::now();
    return settings_;
}

void TerminalReport::SetProgressRange(int maximum) {
    maximum_ = maximum;
}

void TerminalReport::StepProgress() {
    ++steps_;
    // The tool is done with a page at its second step, and its images are
    // converted before the next page's first: the line waits for them, so
    // that its count holds them.
    if (steps_ % 2 == 0)
        pagePending_ = true;
    else
        DrawPending();
}

void TerminalReport::DrawPending() {
    if (pagePending_)
        Draw();
    pagePending_ = false;
}

void TerminalReport::Draw() {
    if (quiet_ || std::ferror(out_))
        return;
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start_);
    const int pages = maximum_ / 2;
    const int done = steps_ / 2;
    const std::string line = ProgressLine(done, pages, written_, elapsed);
    if (!terminal_) {
        std::fprintf(out_, "%s\n", line.c_str());
        std::fflush(out_);
        return;
    }
    // Asked at every redraw: the window may have been resized.
    const int width = platform::ErrorTerminalWidth();
    const std::string row = BarRow(done, pages, line, width > 0 ? width : 80);
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
    DrawPending();
    EndBar();
    messages_.Say(message);
}

void TerminalReport::ShowExtractionError(const std::string& message) {
    Say(message);
}

void TerminalReport::ShowNoImagesFound() {
    Say("No images found in selected PDF!");
}

void TerminalReport::EndExtractionUi() {
    DrawPending();
    EndBar();
}

void TerminalReport::OpenOutputFolder(const std::string& folder) {
    Say(std::to_string(written_) + (written_ == 1 ? " image" : " images") + " written to " +
        folder);
}

void TerminalReport::ImageConverted(int number, extract::Converted outcome,
                                    const std::string& target,
                                    const extract::OutputProblem& problem) {
    switch (outcome) {
    case extract::Converted::Written:
        ++written_;
        return;
    case extract::Converted::Kept:
        ++kept_;
        Say("not written: " + target + " exists");
        return;
    case extract::Converted::Failed:
        break;
    }
    // The job names a folder that takes no file, and stops.
    if (problem.everyFile)
        outputBroken_ = true;
    else if (!problem.reason.empty())
        Say("cannot write " + target + ": " + problem.reason);
    else
        Say("cannot write " + target + ": image " + std::to_string(number) +
            " could not be converted");
}

void TerminalReport::PageFailed(int, const std::string& toolOutput) {
    // Said before the page's own line, which waits for its images.
    EndBar();
    messages_.Say(toolOutput);
}

void TerminalReport::PicturesLeftOut(int repeats, int small) {
    const auto pictures = [](int n) {
        return std::to_string(n) + (n == 1 ? " picture" : " pictures");
    };
    if (settings_.unique)
        Say((repeats == 1 ? "1 repeat" : std::to_string(repeats) + " repeats") +
            " of a picture written left out");
    if (settings_.minWidth > 0 || settings_.minHeight > 0)
        Say(pictures(small) + " smaller than " + std::to_string(settings_.minWidth) + "x" +
            std::to_string(settings_.minHeight) + " left out");
}

} // namespace cli
