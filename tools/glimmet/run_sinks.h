#pragma once

#include "icc_profile.h"
#include "image_export.h"
#include "kept_picture.h"
#include "page_image.h"
#include "picture_sieve.h"
#include "record_channel.h"
#include "scratch_names.h"
#include "thumbnail.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace glimmet {

// What a run does with the pages and pictures its walk comes to: a listing
// says what they are, an export writes them.
class RunSink {
public:
    virtual ~RunSink() = default;

    // False when the program wants no more pages: the run ends there.
    virtual bool beginPage(int page) = 0;
    // Whether pictures left out come to picture() as well.
    virtual bool takesLeftOut() const = 0;
    // The number, from 1 in the run, that the next picture's first file takes.
    virtual int nextFile() const = 0;
    // One picture and the files it makes. Throws for the picture.
    virtual void picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                         const KeptPicture& kept, const std::optional<LeftOut>& leftOut) = 0;
    // A picture came out whole, and is known from now on by `ways`.
    virtual void seen(const std::vector<Seen>& ways) = 0;
    virtual void endPage(int page) = 0;
    virtual void endRun(int lastPage) = 0;
    // A picture that failed: the sink may say what the document states of
    // it.
    virtual void pictureFailed(int, const PageImage&) {}
};

// Says what each page holds, in records on standard output, writing
// nothing; or with `thumbnails`, nothing but a thumbnail of each picture, no
// side longer than `longest`, said in a record after its facts.
class ListingSink : public RunSink {
public:
    ListingSink(tools::Context& ctx, pdf_document* doc, ScratchNames* thumbnails = nullptr,
                int longest = 0);

    bool beginPage(int page) override;
    bool takesLeftOut() const override { return true; }
    int nextFile() const override { return files_ + 1; }
    void picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                 const KeptPicture& kept, const std::optional<LeftOut>& leftOut) override;
    void seen(const std::vector<Seen>&) override {}
    void endPage(int page) override;
    void endRun(int lastPage) override;
    void pictureFailed(int page, const PageImage& found) override;

private:
    tools::Context& ctx_;
    pdf_document* doc_;
    int files_ = 0;
    IccProfiles profiles_;
    ScratchNames* thumbnails_;
    int longest_;
    std::string thumbnail_; // the name of the thumbnail written last
    int listedOnPage_ = 0;  // the number on its page of the picture said last
    // Thumbnails by image object: a logo on every page is decoded once.
    std::map<int, Thumbnail> made_;
    std::size_t madeBytes_ = 0;
};

// Writes each picture as scratch files. With a channel, each page waits for
// the program's go and every fact, file and repeat is said in its records;
// without, the run is silent but for its problems.
class ExportSink : public RunSink {
public:
    ExportSink(tools::Context& ctx, pdf_document* doc, ScratchNames& names, RecordChannel* channel);

    bool beginPage(int page) override;
    bool takesLeftOut() const override { return channel_ != nullptr; }
    int nextFile() const override { return names_.nextNumber(); }
    void picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                 const KeptPicture& kept, const std::optional<LeftOut>& leftOut) override;
    void seen(const std::vector<Seen>& ways) override;
    void endPage(int page) override;
    void endRun(int lastPage) override;
    void pictureFailed(int page, const PageImage& found) override;

private:
    tools::Context& ctx_;
    pdf_document* doc_;
    ScratchNames& names_;
    RecordChannel* channel_;
    int listedOnPage_ = 0; // the number on its page of the picture said last
    IccProfiles profiles_;
    // The profile the picture under way writes beside its first file.
    const IccProfile* profile_ = nullptr;
    int profileFile_ = 0;
};

} // namespace glimmet
