#include "extract/ExtractionJob.h"

#include "ToolContract.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "extract/ScratchFiles.h"
#include "extract/ToolOptions.h"
#include "platform/Files.h"
#include "text/TextRules.h"

#include <exception>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>

namespace extract {

namespace {

// Where the tool runs of one job remember what they wrote and left out; not
// a name the scratch images take.
std::string TallyPath(const std::string& root) {
    return root + ".tally";
}

// Where the tool runs of one job write the listing lines of their pages.
std::string FactsPath(const std::string& root) {
    return root + ".facts";
}

std::vector<std::string> ToolArguments(int page, int lastPage, const JobRequest& r,
                                       const std::string& root) {
    std::vector<std::string> args{contract::kFirstPageOption, std::to_string(page),
                                  contract::kLastPageOption, std::to_string(lastPage)};
    AddPictureOptions({r.password, r.conversion.formatText, r.unique, r.minWidth, r.minHeight},
                      args);
    if (r.LeavesOut()) {
        args.push_back(contract::kTallyOption);
        args.push_back(TallyPath(root));
    }
    if (r.wantsFacts) {
        args.push_back(contract::kFactsOption);
        args.push_back(FactsPath(root));
    }
    args.push_back(r.inputPath);
    args.push_back(root);
    return args;
}

// The tally's counts of pictures left out: repeats, then small ones.
std::pair<int, int> CountLeftOut(const std::string& path) {
    std::pair<int, int> counts{0, 0};
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        const std::string kind = line.substr(0, line.find(' '));
        if (kind == contract::kTallyRepeat)
            ++counts.first;
        else if (kind == contract::kTallySmall)
            ++counts.second;
    }
    return counts;
}

std::string FileName(const JobRequest& r, int number, int page, int onPage) {
    if (r.naming.Empty())
        return NumberedName(r.conversion.prefix, number);
    const int object = r.objectOf && r.naming.UsesObject() ? r.objectOf(page, onPage) : 0;
    return r.naming.Name({number, page, onPage, DocumentName(r.inputPath), object});
}

// The tool's reason when it says its scratch folder takes no more files.
std::optional<std::string> ScratchFull(const std::string& output) {
    const std::string mark = std::string(contract::kScratchFull) + " ";
    const std::size_t at = output.find(mark);
    if (at == std::string::npos || (at > 0 && output[at - 1] != '\n'))
        return std::nullopt;
    const std::size_t start = at + mark.size();
    return text::Trim(output.substr(start, output.find('\n', start) - start));
}

// The tool's output without that line, which the job says in its own words.
std::string WithoutScratchFull(std::string output) {
    const std::size_t at = output.find(contract::kScratchFull);
    if (at != std::string::npos && (at == 0 || output[at - 1] == '\n'))
        output.erase(at, output.find('\n', at) - at);
    return output;
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

std::string ExtractionJob::FactsFile() const {
    return FactsPath(workFolder_ + contract::kScratchRoot);
}

JobEnd ExtractionJob::RunPages() {
    counts_ = {};
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
    bool lastPageSound = true;
    {
        FreeImageSession freeImage;
        for (long long page = request.firstPage; page <= request.lastPage; ++page) {
            if (!running_)
                break; // stopped: the pages left are skipped
            lastPageSound = RunPage(static_cast<int>(page), request);
        }
        tool_.reset(); // stopped before its next page
        RemoveUnfinished(workFolder_);
    }
    JobFinished finished = Tally(request);
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

JobFinished ExtractionJob::Tally(const JobRequest& request) const {
    JobFinished finished = counts_;
    if (request.LeavesOut()) {
        const auto [repeats, small] = CountLeftOut(TallyPath(workFolder_ + contract::kScratchRoot));
        finished.repeats = repeats;
        finished.small = small;
    }
    if (request.wantsFacts) {
        std::ifstream in(FactsPath(workFolder_ + contract::kScratchRoot), std::ios::binary);
        finished.facts.assign(std::istreambuf_iterator<char>(in), {});
    }
    finished.stopped = !running_;
    finished.outputBroken = outputBroken_;
    return finished;
}

std::string ExtractionJob::RunTool(int page, const JobRequest& request) {
    if (!tool_) {
        const int last = platform::ToolsReportPages() ? request.lastPage : page;
        tool_ = std::make_unique<platform::PageTool>(
            toolFolder_ + contract::kExtractionTool,
            ToolArguments(page, last, request, workFolder_ + contract::kScratchRoot), toolFolder_);
        wentAhead_ = false;
    }
    if (!wentAhead_)
        tool_->Go();
    wentAhead_ = false;
    pageEndedByStop_ = false;
    std::optional<std::chrono::steady_clock::time_point> stopSeen;
    const platform::GiveUp giveUp = [&] {
        if (abandon_ && *abandon_)
            return pageEndedByStop_ = true;
        if (running_)
            return false;
        const auto now = std::chrono::steady_clock::now();
        if (!stopSeen)
            stopSeen = now;
        return pageEndedByStop_ = now - *stopSeen >= kStopGrace;
    };
    std::string output;
    // A tool that ended on this page, however, takes nothing of the next.
    const bool done = tool_->AwaitPage(output, giveUp, [&] { return sink_.Waiting(); });
    namedFiles_ = tool_->NamedFiles();
    if (!done || page == request.lastPage) {
        tool_.reset();
        RemoveUnfinished(workFolder_);
    }
    return output;
}

bool ExtractionJob::RunPage(int page, const JobRequest& request) {
    sink_.Tell(PageBegun{page});
    const std::string output = RunTool(page, request);
    pageFailed_ = false;
    // The stop ended the page: no failure of its own, and nothing more of
    // it is converted.
    if (!pageEndedByStop_) {
        for (const ImageFailure& failure : ToolFailures(page, WithoutScratchFull(output)))
            Fail(failure);
        // Every later page would fail the same way, and none by the
        // document's fault: named once, the job stops.
        if (const std::optional<std::string> reason = ScratchFull(output)) {
            Fail({page, 0, 0,
                  "the scratch folder " + workFolder_.substr(0, workFolder_.size() - 1) +
                      " takes no more files: " + *reason});
            outputBroken_ = true;
            running_ = false;
        }
        // A page the tool failed on still gives the images it did write:
        // they are the document's, and the next page's run would write
        // over them.
        if (namedFiles_)
            ConvertPageImages(page, request);
    }
    sink_.Tell(PageDone{page});
    return !pageFailed_ && !pageEndedByStop_;
}

void ExtractionJob::ConvertPageImages(int page, const JobRequest& request) {
    int onPage = 0;
    const std::vector<std::string> names = ScratchImages(workFolder_);
    // The page's files are known: the tool shows the next page's meanwhile,
    // so that they are there once these are converted.
    if (tool_ && page < request.lastPage && running_ && !(abandon_ && *abandon_)) {
        tool_->GoAhead();
        wentAhead_ = true;
    }
    for (const std::string& name : names) {
        if (abandon_ && *abandon_)
            break;
        const int number = ++imagesTaken_;
        ++onPage;
        if (!ConvertOne(page, number, name, FileName(request, number, page, onPage), request)) {
            // A full disk or a folder that went fails every later image too:
            // named once, and the job stops.
            outputBroken_ = true;
            running_ = false;
            break;
        }
    }
}

bool ExtractionJob::ConvertOne(int page, int number, const std::string& scratch,
                               const std::string& name, const JobRequest& request) {
    const std::string scratchPath = workFolder_ + scratch;
    std::string target = OutputTarget(scratchPath, name, request.conversion);
    if (const auto taken = written_.find(target); taken != written_.end()) {
        platform::RemoveFile(scratchPath);
        Fail({page, 0, 0,
              "cannot write " + target + ": a picture of page " + std::to_string(taken->second) +
                  " was written under that name in this run"},
             number);
        return true;
    }
    OutputProblem problem;
    WrittenFile written;
    switch (ConvertImage(scratchPath, name, request.conversion, target, &problem, &written)) {
    case Converted::Written:
        ++counts_.written;
        written_.emplace(target, page);
        sink_.Tell(ImageWritten{number, target, Copied(scratch, request.conversion), written.size,
                                written.sha256});
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
