#pragma once

#include <cstdint>
#include <string>

namespace tools {

// What one run of a tool may spend. Both are generous for any real document;
// they are there so that a hostile or broken one cannot hold a job or the
// machine for ever.
inline constexpr int kProcessorSeconds = 300;
// An image whose pixels, decoded, would need more than this share of the
// machine's memory (and never more than the fixed cap) is refused.
inline constexpr int kImageMemoryShare = 4; // a quarter
inline constexpr std::uint64_t kImageMemoryCap = std::uint64_t(2) << 30;

// The tests shorten these through the environment (ARVENZO_CPU_SECONDS,
// ARVENZO_IMAGE_BYTES); a value above the constants is ignored, so the
// variables can only make a run stricter.
int processorSeconds();
std::uint64_t imageMemoryBound();
// What MuPDF may hold at once in all: one image at the bound and room for
// the document besides. A decoder that runs wild past it fails as a MuPDF
// error instead of taking the machine.
std::uint64_t mupdfMemoryCap();

// Starts the processor budget of this run. When it is used up the tool ends
// at once with exit code 1 and one line on standard error: "Error: ",
// `subject` (when not empty), the page it was on (see budgetPage), and why.
// A run of several pages has the budget for each of them (`pages`).
void startProcessorBudget(const std::string& subject, long long pages = 1);
// The page the run is on now, for that line; 0 for none. A page gets the
// whole budget afresh, whatever the pages before it took.
void budgetPage(int page);
// The file being written now, removed should the budget run out before it is
// whole; nullptr once it is closed.
void budgetFile(const char* path);

} // namespace tools
