#include "run_sinks.h"

#include "ToolContract.h"
#include "image_listing.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

namespace glimmet {

namespace {

std::string listed(const char* label, int page) {
    return label + std::string(1, contract::kListSeparator) + std::to_string(page) + '\n';
}

void sayListed(const char* label, int page) {
    std::fputs(listed(label, page).c_str(), stdout);
}

// The files earlier runs of the job listed: image lines with no mark of a
// picture left out.
int filesListed(const std::string& facts) {
    std::ifstream in(facts);
    int files = 0;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(contract::kListedImage + std::string(1, contract::kListSeparator), 0) != 0)
            continue;
        const auto fields = std::count(line.begin(), line.end(), contract::kListSeparator);
        files += fields == contract::kListedFieldCount ? 1 : 0;
    }
    return files;
}

} // namespace

void saveTally(PictureSieve& sieve, bool& failed) {
    try {
        sieve.save();
    } catch (const ScratchFull&) {
        throw;
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
    std::string lines;
    files_ += listImage(ctx_, doc_, page, found, plan, leftOut, lines);
    std::fputs(lines.c_str(), stdout);
}

// What is listed stays listed should the processor budget end the run.
bool ListingSink::endPage(int, bool) {
    std::fflush(stdout);
    return true;
}

void ListingSink::endRun(int lastPage) {
    sayListed(contract::kListedEnd, lastPage);
}

ExportSink::ExportSink(tools::Context& ctx, pdf_document* doc, ScratchNames& names,
                       PictureSieve& sieve, std::optional<int> go, std::optional<int> done,
                       std::string facts)
    : ctx_(ctx), doc_(doc), names_(names), sieve_(sieve), go_(go), facts_(std::move(facts)) {
    if (!facts_.empty())
        names_.hashKept();
    if (done)
        handover_.emplace(*go, *done);
    else if (go)
        names_.holdBack();
}

bool ExportSink::beginPage(int page) {
    if (handover_)
        handover_->begin(names_);
    if (facts_.empty())
        return true;
    // Counted once the program let the run begin: runs before it are over.
    if (!counted_) {
        filesBefore_ = filesListed(facts_);
        counted_ = true;
    }
    pageFacts_ += listed(contract::kListedPage, page);
    page_ = page;
    listedOnPage_ = 0;
    pageFirstFile_ = names_.count();
    return true;
}

void ExportSink::picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                         const KeptPicture& kept, const std::optional<LeftOut>& leftOut) {
    // Listed before its files are made, as a listing run lists it: a
    // picture that then fails keeps its facts.
    if (!facts_.empty()) {
        listImage(ctx_, doc_, page, found, plan, leftOut, pageFacts_);
        listedOnPage_ = found.numberOnPage;
    }
    if (!leftOut)
        exportImage(ctx_, plan, kept, names_);
}

// One that failed before it was listed is listed as the document states it.
void ExportSink::pictureFailed(int page, const PageImage& found) {
    if (facts_.empty() || listedOnPage_ == found.numberOnPage)
        return;
    try {
        listFailedImage(ctx_, doc_, page, found, pageFacts_);
    } catch (const std::exception&) {
        // What cannot be read of it stays unsaid; its failure is said.
    }
}

void ExportSink::addDigests() {
    for (const ScratchNames::Hashed& file : names_.hashed()) {
        const char tab = contract::kListSeparator;
        pageFacts_ += std::string(contract::kFactsDigest) + tab + std::to_string(page_) + tab +
                      std::to_string(file.index - pageFirstFile_ + 1) + tab +
                      std::to_string(file.size) + tab + file.sha256 + '\n';
    }
}

bool ExportSink::writeFacts() {
    if (facts_.empty() || pageFacts_.empty())
        return true;
    // Opened once: a page's facts cost one system call.
    if (!factsFile_)
        factsFile_.reset(std::fopen(facts_.c_str(), "ab"));
    std::FILE* file = factsFile_.get();
    if (!file || std::fwrite(pageFacts_.data(), 1, pageFacts_.size(), file) != pageFacts_.size() ||
        std::fflush(file) != 0) {
        failIfFull(facts_, errno);
        std::fprintf(stderr, "Error: cannot write %s\n", facts_.c_str());
        failed_ = true;
        return false;
    }
    pageFacts_.clear();
    return true;
}

bool ExportSink::endPage(int page, bool last) {
    addDigests();
    if (last && !facts_.empty()) {
        pageFacts_ += listed(contract::kListedEnd, page);
        factsEnded_ = true;
    }
    // Before the handover waits for the program: written while it still
    // converts the page before, not while it waits for this one.
    writeFacts();
    if (!handover_)
        return true;
    if (!handover_->release(names_, failed_))
        return false;
    // The tally holds the page before the program hears of it, so a run
    // started after a crash leaves out what this one wrote.
    saveTally(sieve_, failed_);
    return handover_->report(names_, page);
}

void ExportSink::endRun(int lastPage) {
    if (!facts_.empty() && !factsEnded_) {
        addDigests();
        pageFacts_ += listed(contract::kListedEnd, lastPage);
        writeFacts();
    }
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
