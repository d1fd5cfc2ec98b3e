#include "run_sinks.h"

#include "ToolContract.h"
#include "image_listing.h"

#include <cstdio>

namespace glimmet {

namespace {

void sayListed(const char* label, int page) {
    std::printf("%s%c%d\n", label, contract::kListSeparator, page);
}

} // namespace

void saveTally(PictureSieve& sieve, bool& failed) {
    try {
        sieve.save();
    } catch (const WriteError& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        failed = true;
    }
}

bool ListingSink::beginPage(int page) {
    sayListed(contract::kListedPage, page);
    return true;
}

void ListingSink::picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                          const KeptPicture&, const std::optional<LeftOut>& leftOut) {
    files_ += listImage(ctx_, doc_, page, found, plan, leftOut);
}

// What is listed stays listed should the processor budget end the run.
bool ListingSink::endPage(int) {
    std::fflush(stdout);
    return true;
}

void ListingSink::endRun(int lastPage) {
    sayListed(contract::kListedEnd, lastPage);
}

ExportSink::ExportSink(tools::Context& ctx, ScratchNames& names, PictureSieve& sieve,
                       std::optional<int> go, std::optional<int> done)
    : ctx_(ctx), names_(names), sieve_(sieve), go_(go) {
    if (done)
        handover_.emplace(*go, *done);
    else if (go)
        names_.holdBack();
}

bool ExportSink::beginPage(int) {
    return !handover_ || handover_->begin(names_);
}

void ExportSink::picture(int, const PageImage&, const std::vector<PlannedFile>& plan,
                         const KeptPicture& kept, const std::optional<LeftOut>&) {
    exportImage(ctx_, plan, kept, names_);
}

bool ExportSink::endPage(int page) {
    if (!handover_)
        return true;
    if (!handover_->release(names_, failed_))
        return false;
    // The tally holds the page before the program hears of it, so a run
    // started after a crash leaves out what this one wrote.
    saveTally(sieve_, failed_);
    return handover_->report(names_, page);
}

void ExportSink::endRun(int) {
    if (!go_ || handover_)
        return;
    awaitGo(*go_);
    try {
        names_.release();
    } catch (const WriteError& e) {
        std::fprintf(stderr, "Error: %s\n", e.what());
        failed_ = true;
    }
}

} // namespace glimmet
