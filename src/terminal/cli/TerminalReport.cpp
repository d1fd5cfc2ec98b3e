#include "cli/TerminalReport.h"

#include "text/TextRules.h"

namespace cli {

namespace {

std::string Clock(std::chrono::seconds s) {
    const long long total = s.count();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld", total / 60, total % 60);
    return buffer;
}

// Line breaks of the window's texts, as a terminal wants them.
std::string Plain(const std::string& message) {
    std::string out;
    for (const char c : message)
        if (c != '\r')
            out.push_back(c);
    return out;
}

} // namespace

TerminalReport::TerminalReport(extract::JobSettings settings, std::FILE* out, bool terminal)
    : settings_(std::move(settings)), out_(out), terminal_(terminal) {}

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
    constexpr int kWidth = 24;
    const int filled = pages > 0 ? done * kWidth / pages : kWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kWidth, '.');
    std::fprintf(out_, "\r\x1b[K[%s] %s", bar.c_str(), line.c_str());
    std::fflush(out_);
    barShown_ = true;
}

void TerminalReport::Say(const std::string& message) {
    DrawPending();
    if (barShown_) {
        std::fputc('\n', out_);
        barShown_ = false;
    }
    std::fprintf(out_, "%s\n", Plain(message).c_str());
    std::fflush(out_);
}

void TerminalReport::ShowExtractionError(const std::string& message) {
    Say(message);
}

void TerminalReport::ShowNoImagesFound() {
    Say("No images found in selected PDF!");
}

void TerminalReport::EndExtractionUi() {
    DrawPending();
    if (barShown_) {
        std::fputc('\n', out_);
        barShown_ = false;
    }
}

void TerminalReport::OpenOutputFolder(const std::string& folder) {
    Say(std::to_string(written_) + (written_ == 1 ? " image" : " images") + " written to " +
        folder);
}

void TerminalReport::ImageConverted(int, bool saved) {
    (saved ? written_ : failed_) += 1;
}

} // namespace cli
