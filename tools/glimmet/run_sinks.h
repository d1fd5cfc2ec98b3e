#pragma once

#include "image_export.h"
#include "kept_picture.h"
#include "page_handover.h"
#include "page_image.h"
#include "picture_sieve.h"
#include "scratch_names.h"

#include <cstdio>
#include <memory>
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
    // False when the program wants no more pages. `last` for the run's last
    // page: what ends the run's output is said before the page is handed
    // over, as the program may end the tool as soon as it has that page.
    virtual bool endPage(int page, bool last) = 0;
    virtual void endRun(int lastPage) = 0;
    // A picture that failed: the sink may say what the document states of
    // it.
    virtual void pictureFailed(int, const PageImage&) {}

    // Whether a failure of the sink's own was said on standard error.
    bool failed() const { return failed_; }

protected:
    bool failed_ = false;
};

// Says what each page holds on standard output, writing nothing.
class ListingSink : public RunSink {
public:
    ListingSink(tools::Context& ctx, pdf_document* doc) : ctx_(ctx), doc_(doc) {}

    bool beginPage(int page) override;
    bool takesLeftOut() const override { return true; }
    int nextFile() const override { return files_ + 1; }
    void picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                 const KeptPicture& kept, const std::optional<LeftOut>& leftOut) override;
    bool endPage(int page, bool last) override;
    void endRun(int lastPage) override;

private:
    tools::Context& ctx_;
    pdf_document* doc_;
    int files_ = 0;
};

// Writes each picture as scratch files, handing the pages over to the
// program as they are done when it asks for that (`handover`), or all at
// once after its go (`go`) when it started the tool ahead of its turn.
// With a facts file, each page's listing lines go there too.
class ExportSink : public RunSink {
public:
    ExportSink(tools::Context& ctx, pdf_document* doc, ScratchNames& names, PictureSieve& sieve,
               std::optional<int> go, std::optional<int> done, std::string facts);

    void picture(int page, const PageImage& found, const std::vector<PlannedFile>& plan,
                 const KeptPicture& kept, const std::optional<LeftOut>& leftOut) override;
    bool takesLeftOut() const override { return !facts_.empty(); }
    int nextFile() const override { return filesBefore_ + names_.count() + 1; }
    bool beginPage(int page) override;
    bool endPage(int page, bool last) override;
    void endRun(int lastPage) override;
    void pictureFailed(int page, const PageImage& found) override;

private:
    // Appends the page's facts to the file; false, said on standard error,
    // when it cannot.
    bool writeFacts();
    // Adds the digests of the page's kept files to its facts.
    void addDigests();

    tools::Context& ctx_;
    pdf_document* doc_;
    ScratchNames& names_;
    PictureSieve& sieve_;
    std::optional<int> go_;
    std::optional<PageHandover> handover_;
    std::string facts_;
    bool factsEnded_ = false;
    bool counted_ = false;
    int filesBefore_ = 0;   // listed in the facts by earlier runs
    int pageFirstFile_ = 0; // the run's number of the page's first file
    int page_ = 0;
    int listedOnPage_ = 0;  // the page's last picture listed, by its number
    std::string pageFacts_; // not written yet
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> factsFile_{nullptr, &std::fclose};
};

// Adds what the run learnt to its tally; a failure is said on standard
// error and sets `failed`.
void saveTally(PictureSieve& sieve, bool& failed);

} // namespace glimmet
