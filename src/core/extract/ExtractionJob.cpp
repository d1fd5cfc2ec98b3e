#include "extract/ExtractionJob.h"

#include "ToolContract.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "extract/ScratchFiles.h"
#include "extract/ToolOptions.h"
#include "platform/Files.h"
#include "text/TextRules.h"

#include <cstdlib>
#include <exception>
#include <optional>
#include <stdexcept>

namespace extract {

namespace {

// The tool's options and paths, besides its pages and its channel.
std::vector<std::string> ToolArguments(const JobRequest& r, const std::string& root) {
    std::vector<std::string> args;
    AddPictureOptions(r.password, r.conversion.formatText, r.pictures, args);
    // Copied bytes are hashed by the tool as it writes them.
    if (r.conversion.hashFiles)
        args.push_back(contract::kHashOption);
    args.push_back(r.inputPath);
    args.push_back(root);
    return args;
}

std::string FileName(const JobRequest& r, int number, int page, int onPage, int object) {
    if (r.naming.Empty())
        return NumberedName(r.conversion.prefix, number);
    return r.naming.Name({number, page, onPage, DocumentName(r.inputPath), object});
}

// The tool's reason when it says its scratch folder takes no more files.
std::optional<std::string> ScratchFull(const std::string& line) {
    const std::string mark = std::string(contract::kScratchFull) + " ";
    if (line.compare(0, mark.size(), mark) != 0)
        return std::nullopt;
    return text::Trim(line.substr(mark.size()));
}

// What the file carries besides its pixels, as the tool said it.
FileExtras Extras(const MadeFile& file, const std::string& workFolder) {
    const auto perInch = [](const std::string& text) {
        return text.empty() ? 0.0 : std::strtod(text.c_str(), nullptr);
    };
    return {.xResolution = perInch(file.facts.xResolution),
            .yResolution = perInch(file.facts.yResolution),
            .profilePath = file.profile.empty() ? std::string() : workFolder + file.profile};
}

bool Copied(const std::string& scratchName, const ConversionSettings& settings) {
    const std::string extension = text::LowerCase(text::ExtractFileExt(scratchName));
    return ChooseFormat(settings.formatText, extension, settings.jpegQuality).copied;
}

std::string WriteFailure(const std::string& target, const OutputProblem& problem) {
    return "cannot write " + target + ": " +
           (problem.reason.empty() ? "the picture could not be converted" : problem.reason);
}

} // namespace

ExtractionJob::ExtractionJob(JobSink& sink, std::atomic<bool>& running, std::string toolFolder,
                             std::string workFolder, const std::atomic<bool>* abandon)
    : sink_(sink), running_(running), toolFolder_(std::move(toolFolder)),
      workFolder_(std::move(workFolder)), abandon_(abandon) {}

JobEnd ExtractionJob::Run() {
    JobEnd end = JobEnd::Failed;
    try {
        end = RunPages();
    } catch (const std::exception& e) {
        running_ = false;
        sink_.Tell(JobFailed{e.what()});
    } catch (...) {
        running_ = false;
        sink_.Tell(JobFailed{"Unknown error"});
    }
    tool_.reset();
    EmptyFolder(workFolder_);
    running_ = false;
    sink_.EndJob();
    return end;
}

JobEnd ExtractionJob::RunPages() {
    counts_ = {};
    ahead_ = 1;
    outputBroken_ = false;
    imagesTaken_ = 0;
    written_.clear();
    const JobRequest request = sink_.BeginJob();
    if (workFolder_.empty())
        throw std::runtime_error("No private scratch folder could be made for the images.");

    // Images a crashed earlier run left behind are not this document's, nor
    // are the working files that runs ended by force left in the output
    // folder.
    EmptyFolder(workFolder_);
    RemoveLeftByEndedRuns(request.conversion.outputFolder, kWorkingFilePrefix, false);
    tool_ = std::make_unique<PageTool>(toolFolder_ + contract::kExtractionTool, toolFolder_,
                                       ToolArguments(request, workFolder_ + contract::kScratchRoot),
                                       request.lastPage);
    bool lastPageSound = true;
    {
        FreeImageSession freeImage;
        for (long long page = request.firstPage; page <= request.lastPage; ++page) {
            if (!running_)
                break; // stopped: the pages left are skipped
            lastPageSound = RunPage(static_cast<int>(page), request);
        }
        tool_->Stop(); // stopped before its next page
    }
    JobFinished finished = counts_;
    finished.stopped = !running_;
    finished.outputBroken = outputBroken_;
    // A folder is opened only after a last page that went well.
    if (!finished.stopped && request.openAfter && lastPageSound)
        finished.after = imagesTaken_ < 1 && finished.repeats + finished.small == 0
                             ? AfterJob::NoImagesFound
                             : AfterJob::OpenFolder;
    sink_.Tell(finished);
    if (finished.stopped)
        return JobEnd::Stopped;
    running_ = false;
    return finished.failed > 0 ? JobEnd::CompletedWithErrors : JobEnd::Completed;
}

PageReport ExtractionJob::AwaitPage(int page) {
    pageEndedByStop_ = false;
    std::optional<std::chrono::steady_clock::time_point> stopSeen;
    const platform::GiveUp giveUp = [&] {
        sink_.Waiting();
        if (abandon_ && *abandon_)
            return pageEndedByStop_ = true;
        if (running_)
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (!stopSeen)
            stopSeen = now;
        return pageEndedByStop_ = now - *stopSeen >= kStopGrace;
    };
    return tool_->AwaitPage(page, giveUp);
}

bool ExtractionJob::RunPage(int page, const JobRequest& request) {
    sink_.Tell(PageBegun{page});
    PageReport report = AwaitPage(page);
    pageFailed_ = false;
    // The stop ended the page: no failure of its own, and nothing more of
    // it is converted.
    if (!pageEndedByStop_) {
        // The tool goes on to the next page while this one's are converted;
        // through pages without pictures it may run further ahead, as they
        // cost nothing to hold.
        ahead_ = report.files.empty() ? std::min(2 * ahead_, kMostAhead) : 1;
        if (page < request.lastPage && running_)
            tool_->LetOn(std::min(request.lastPage, page + ahead_));
        CountLeftOut(report.pictures);
        sink_.Tell(PagePictures{page, std::move(report.pictures), report.done});
        TellProblems(page, report.problems);
        // A page the tool failed on still gives the images it did write.
        ConvertPageImages(page, report.files, request);
    }
    sink_.Tell(PageDone{page});
    return !pageFailed_ && !pageEndedByStop_;
}

void ExtractionJob::TellProblems(int page, const std::vector<std::string>& problems) {
    std::string lines;
    std::optional<std::string> full;
    for (const std::string& line : problems)
        if (!full && (full = ScratchFull(line)))
            continue;
        else
            lines += line + '\n';
    for (const ImageFailure& failure : ToolFailures(page, lines))
        Fail(failure);
    // Every later page would fail the same way, and none by the document's
    // fault: named once, the job stops.
    if (full) {
        Fail({page, 0, 0,
              "the scratch folder " + workFolder_.substr(0, workFolder_.size() - 1) +
                  " takes no more files: " + *full});
        outputBroken_ = true;
        running_ = false;
    }
}

void ExtractionJob::CountLeftOut(const std::vector<ListedImage>& pictures) {
    for (const ListedImage& picture : pictures) {
        counts_.small += picture.small ? 1 : 0;
        counts_.repeats += picture.repeatOf > 0 ? 1 : 0;
    }
}

void ExtractionJob::ConvertPageImages(int page, const std::vector<MadeFile>& files,
                                      const JobRequest& request) {
    int onPage = 0;
    for (const MadeFile& file : files) {
        if (abandon_ && *abandon_)
            break;
        const int number = ++imagesTaken_;
        ++onPage;
        if (!ConvertOne(page, number, file,
                        FileName(request, number, page, onPage, file.objectNumber), request)) {
            // A full disk or a folder that went fails every later image too:
            // named once, and the job stops.
            outputBroken_ = true;
            running_ = false;
            break;
        }
    }
}

bool ExtractionJob::ConvertOne(int page, int number, const MadeFile& file, const std::string& name,
                               const JobRequest& request) {
    const std::string scratchPath = workFolder_ + file.name;
    std::string target = OutputTarget(scratchPath, name, request.conversion);
    if (const auto taken = written_.find(target); taken != written_.end()) {
        platform::RemoveFile(scratchPath);
        Fail({page, 0, 0,
              "cannot write " + target + ": a picture of page " + std::to_string(taken->second) +
                  " was written under that name in this run"},
             number);
        return true;
    }
    const bool copied = Copied(file.name, request.conversion);
    // The tool hashed the bytes it kept as it wrote them.
    const bool toolHashed = copied && !file.sha256.empty();
    ConversionSettings settings = request.conversion;
    settings.hashFiles = settings.hashFiles && !toolHashed;
    OutputProblem problem;
    WrittenFile written;
    switch (ConvertImage(scratchPath, name, settings, target, &problem, &written,
                         Extras(file, workFolder_))) {
    case Converted::Written:
        ++counts_.written;
        written_.emplace(target, page);
        if (toolHashed && written.size == file.bytes)
            written.sha256 = file.sha256;
        sink_.Tell(ImageWritten{number, target, copied, written.size, written.sha256});
        break;
    case Converted::Kept:
        ++counts_.notReplaced;
        sink_.Tell(ImageNotReplaced{number, target});
        break;
    case Converted::Failed:
        Fail({page, 0, 0, WriteFailure(target, problem)}, number);
        break;
    }
    return !problem.everyFile;
}

void ExtractionJob::Fail(const ImageFailure& failure, int number) {
    ++counts_.failed;
    pageFailed_ = true;
    sink_.Tell(ImageFailed{failure, number});
}

} // namespace extract
