#include "run_sinks.h"

#include "ToolContract.h"
#include "image_listing.h"
#include "thumbnail.h"

#include <cstdio>
#include <string>

namespace glimmet {

namespace {

// How many bytes of thumbnails are kept for objects drawn again.
constexpr std::size_t kMostKept = std::size_t(16) << 20;

void sayPage(const char* label, int page) {
    RecordChannel::say(label, {std::to_string(page)});
}

// A picture that failed before it was said, as the document states it.
void sayFailed(tools::Context& ctx, pdf_document* doc, int page, const PageImage& found) {
    std::string lines;
    try {
        listFailedImage(ctx, doc, page, found, lines);
    } catch (const std::exception&) {
        // What cannot be read of it stays unsaid; its failure is said.
    }
    std::fputs(lines.c_str(), stdout);
}

} // namespace

ListingSink::ListingSink(tools::Context& ctx, pdf_document* doc, ScratchNames* thumbnails,
                         int longest)
    : ctx_(ctx), doc_(doc), thumbnails_(thumbnails), longest_(longest) {
    if (thumbnails_)
        thumbnails_->onWhole([this](const ScratchNames::Whole& file) { thumbnail_ = file.name; });
}

bool ListingSink::beginPage(int page) {
    sayPage(contract::kListedPage, page);
    listedOnPage_ = 0;
    return true;
}

void ListingSink::picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                          const KeptPicture& kept, const std::optional<LeftOut>& leftOut) {
    std::string lines;
    files_ += listImage(ctx_, doc_, page, found, plan, kept, leftOut, profiles_, lines);
    std::fputs(lines.c_str(), stdout);
    listedOnPage_ = found.numberOnPage;
    if (!thumbnails_)
        return;
    // Said as soon as it is made: a picker shows each while the next is read.
    auto made = made_.find(found.objectNumber);
    if (made == made_.end()) {
        Thumbnail thumbnail = makeThumbnail(ctx_, plan.front().source, longest_);
        if (madeBytes_ > kMostKept) {
            made_.clear();
            madeBytes_ = 0;
        }
        madeBytes_ += thumbnail.samples.size();
        made = made_.emplace(found.objectNumber, std::move(thumbnail)).first;
    }
    writeThumbnail(made->second, *thumbnails_);
    RecordChannel::say(contract::kThumb, {thumbnail_, std::to_string(made->second.w),
                                          std::to_string(made->second.h)});
    RecordChannel::flush();
    if (found.objectNumber <= 0) // an inline image is never drawn again
        made_.erase(made);
}

// With thumbnails, a picture that failed before it was said is said as the
// document states it, so that a picker can show it failed.
void ListingSink::pictureFailed(int page, const PageImage& found) {
    if (!thumbnails_ || listedOnPage_ == found.numberOnPage)
        return;
    sayFailed(ctx_, doc_, page, found);
    RecordChannel::flush();
}

// What is listed stays listed should the processor budget end the run.
void ListingSink::endPage(int page) {
    sayPage(contract::kPageDone, page);
    RecordChannel::flush();
}

void ListingSink::endRun(int lastPage) {
    sayPage(contract::kListedEnd, lastPage);
}

ExportSink::ExportSink(tools::Context& ctx, pdf_document* doc, ScratchNames& names,
                       RecordChannel* channel)
    : ctx_(ctx), doc_(doc), names_(names), channel_(channel) {
    if (channel_)
        names_.onWhole([this](const ScratchNames::Whole& file) {
            RecordChannel::say(contract::kFileMade,
                               {std::to_string(file.number), file.name, std::to_string(file.size),
                                file.sha256.empty() ? contract::kNoDigest : file.sha256});
            if (profile_ && file.number == profileFile_)
                RecordChannel::say(contract::kProfileMade,
                                   {names_.writeBeside(file.number, contract::kProfileExtension,
                                                       profile_->bytes)});
            // Said at once: a run that dies later on the page still hands
            // over the files it made.
            RecordChannel::flush();
        });
}

bool ExportSink::beginPage(int page) {
    if (!channel_)
        return true;
    if (!channel_->awaitGo(page))
        return false;
    sayPage(contract::kListedPage, page);
    listedOnPage_ = 0;
    return true;
}

void ExportSink::picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                         const KeptPicture& kept, const std::optional<LeftOut>& leftOut) {
    // Said before its files are made, as a listing says it: a picture that
    // then fails keeps its facts.
    profile_ = nullptr;
    if (channel_) {
        std::string lines;
        listImage(ctx_, doc_, page, found, plan, kept, leftOut, profiles_, lines);
        std::fputs(lines.c_str(), stdout);
        listedOnPage_ = found.numberOnPage;
        profile_ = profileToWrite(ctx_, doc_, found, plan, kept, profiles_);
        profileFile_ = names_.nextNumber();
    }
    if (!leftOut)
        exportImage(ctx_, plan, kept, names_);
}

// One that failed before it was said is said as the document states it.
void ExportSink::pictureFailed(int page, const PageImage& found) {
    if (!channel_ || listedOnPage_ == found.numberOnPage)
        return;
    sayFailed(ctx_, doc_, page, found);
}

void ExportSink::seen(const std::vector<Seen>& ways) {
    if (channel_)
        for (const Seen& way : ways)
            RecordChannel::say(contract::kSeen, {way.kind, way.key, std::to_string(way.file)});
}

void ExportSink::endPage(int page) {
    if (channel_) {
        sayPage(contract::kPageDone, page);
        RecordChannel::flush();
    }
}

void ExportSink::endRun(int lastPage) {
    if (channel_) {
        sayPage(contract::kListedEnd, lastPage);
        RecordChannel::flush();
    }
}

} // namespace glimmet
