#include "extract/ExtractionJob.h"

#include "ToolContract.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "extract/PageRange.h"
#include "extract/ScratchFiles.h"
#include "text/IntegerText.h"
#include "text/TextRules.h"

#include <exception>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace extract {

namespace {

std::string TallyPath(const std::string& root);

std::vector<std::string> ToolArguments(int page, int lastPage, const JobSettings& s,
                                       const std::string& root) {
    std::vector<std::string> args{contract::kFirstPageOption, std::to_string(page),
                                  contract::kLastPageOption, std::to_string(lastPage)};
    if (!s.password.empty()) {
        args.push_back(contract::kPasswordOption);
        args.push_back(s.password);
    }
    // Pictures the format can take as the document holds them come as its
    // own bytes, and are copied instead of encoded a second time.
    if (const char* kept = KeptEncoding(s.conversion.formatText)) {
        args.push_back(contract::kKeepOption);
        args.push_back(kept);
    }
    if (s.unique)
        args.push_back(contract::kUniqueOption);
    if (s.minWidth > 0 || s.minHeight > 0) {
        args.push_back(contract::kMinSizeOption);
        args.push_back(std::to_string(s.minWidth) + "x" + std::to_string(s.minHeight));
    }
    if (s.unique || s.minWidth > 0 || s.minHeight > 0) {
        args.push_back(contract::kTallyOption);
        args.push_back(TallyPath(root));
    }
    args.push_back(s.inputPath);
    args.push_back(root);
    return args;
}

// Where the tool runs of one job remember what they wrote and left out; not
// a name the scratch images take.
std::string TallyPath(const std::string& root) {
    return root + ".tally";
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

bool NamesPage(const std::string& line, const std::string& mark) {
    for (std::size_t at = line.find(mark); at != std::string::npos; at = line.find(mark, at + 1)) {
        const std::size_t after = at + mark.size();
        if (after == line.size() || line[after] < '0' || line[after] > '9')
            return true;
    }
    return false;
}

// The tool's lines about `page`, each naming it: a tool that was killed,
// timed out or never started is told of without its page.
std::string WithPage(int page, const std::string& output) {
    const std::string mark = "page " + std::to_string(page);
    std::string named;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        end = end == std::string::npos ? output.size() : end + 1;
        const std::string line = output.substr(start, end - start);
        if (!text::Trim(line).empty() && !NamesPage(line, mark))
            named += mark + ": ";
        named += line;
        start = end;
    }
    return named;
}

} // namespace

ExtractionJob::ExtractionJob(ExtractionObserver& observer, std::atomic<bool>& running,
                             std::string toolFolder, std::string workFolder,
                             const std::atomic<bool>* abandon)
    : observer_(observer), running_(running), toolFolder_(std::move(toolFolder)),
      workFolder_(std::move(workFolder)), abandon_(abandon) {}

JobEnd ExtractionJob::Run() {
    JobEnd end = JobEnd::Failed;
    try {
        end = RunPages();
    } catch (const std::exception& e) {
        running_ = false;
        observer_.EndExtractionUi();
        observer_.ShowExtractionError(e.what());
    } catch (...) {
        running_ = false;
        observer_.EndExtractionUi();
        observer_.ShowExtractionError("Unknown error");
    }
    tool_.reset();
    EmptyFolder(workFolder_);
    running_ = false;
    observer_.EndExtractionUi();
    return end;
}

JobEnd ExtractionJob::RunPages() {
    errors_ = false;
    outputBroken_ = false;
    imageCounter_ = 0;
    const JobSettings settings = observer_.BeginExtractionUi();
    if (workFolder_.empty())
        throw std::runtime_error("No private scratch folder could be made for the images.");
    const std::int32_t pageCount = text::StrToInt(settings.pageCountText);
    const PageSpan span = ParsePageRange(settings.pageRangeText, pageCount);
    const long long maximum = (static_cast<long long>(span.last) - span.first + 1) * 2;
    // A negative page count leaves a range the gauge cannot show.
    if (maximum < 0 || maximum > INT32_MAX)
        throw std::out_of_range("Value must be between 1 and 2147483647");
    observer_.SetProgressRange(static_cast<int>(maximum));

    // Images a crashed earlier run left behind are not this document's, nor
    // are the working files that runs ended by force left in the output
    // folder.
    EmptyFolder(workFolder_);
    RemoveLeftByEndedRuns(settings.conversion.outputFolder, kWorkingFilePrefix, false);
    std::string pageResult;
    {
        FreeImageSession freeImage;
        for (long long page = span.first; page <= span.last; ++page) {
            if (!running_)
                break; // stopped: the pages left are skipped
            RunPage(static_cast<int>(page), span.last, settings, pageResult);
        }
        tool_.reset(); // stopped before its next page
        RemoveUnfinished(workFolder_);
    }
    int leftOut = 0;
    if (settings.unique || settings.minWidth > 0 || settings.minHeight > 0) {
        const auto [repeats, small] = CountLeftOut(TallyPath(workFolder_ + contract::kScratchRoot));
        observer_.PicturesLeftOut(repeats, small);
        leftOut = repeats + small;
    }
    // An output that broke has been named already.
    if (errors_ && !outputBroken_)
        observer_.ShowExtractionError(kSomeErrors);
    if (!running_)
        return JobEnd::Stopped;
    running_ = false;
    if (settings.openAfter && text::Trim(pageResult).empty()) {
        if (imageCounter_ < 1 && leftOut == 0)
            observer_.ShowNoImagesFound();
        else
            observer_.OpenOutputFolder(settings.conversion.outputFolder);
    }
    return errors_ ? JobEnd::CompletedWithErrors : JobEnd::Completed;
}

std::string ExtractionJob::RunTool(int page, int lastPage, const JobSettings& settings) {
    if (!tool_) {
        const int last = platform::ToolsReportPages() ? lastPage : page;
        tool_ = std::make_unique<platform::PageTool>(
            toolFolder_ + contract::kExtractionTool,
            ToolArguments(page, last, settings, workFolder_ + contract::kScratchRoot), toolFolder_);
    }
    tool_->Go();
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
    const bool done = tool_->AwaitPage(output, giveUp);
    namedFiles_ = tool_->NamedFiles();
    if (!done || page == lastPage) {
        tool_.reset();
        RemoveUnfinished(workFolder_);
    }
    return output;
}

bool ExtractionJob::RunPage(int page, int lastPage, const JobSettings& settings,
                            std::string& pageResult) {
    observer_.StepProgress();
    pageResult = RunTool(page, lastPage, settings);
    observer_.StepProgress();
    // The stop ended the page: no failure of its own, and nothing more of
    // it is converted.
    if (pageEndedByStop_)
        return false;
    // A page the tool failed on still gives the images it did write: they
    // are the document's, and the next page's run would write over them.
    const bool failed = !text::Trim(pageResult).empty();
    if (failed) {
        errors_ = true;
        observer_.PageFailed(page, WithPage(page, pageResult));
    }
    for (const std::string& name :
         namedFiles_ ? ScratchImages(workFolder_) : std::vector<std::string>{}) {
        if (abandon_ && *abandon_)
            break;
        ++imageCounter_;
        std::string target;
        OutputProblem problem;
        const Converted outcome =
            ConvertImage(workFolder_ + name, imageCounter_, settings.conversion, target, &problem);
        if (outcome == Converted::Failed) {
            pageResult = "Extraction error!";
            errors_ = true;
        }
        observer_.ImageConverted(imageCounter_, outcome, target, problem);
        // A full disk or a folder that went fails every later image too:
        // named once, and the job stops.
        if (problem.everyFile) {
            outputBroken_ = true;
            running_ = false;
            observer_.ShowExtractionError("cannot write " + target + ": " + problem.reason);
            break;
        }
    }
    return !failed;
}

} // namespace extract
