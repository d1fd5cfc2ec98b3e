#include "cli/OneDocument.h"

#include "cli/DocumentList.h"
#include "cli/ExitCodes.h"
#include "cli/ImageListing.h"
#include "cli/RunManifest.h"
#include "cli/SeveralDocuments.h"
#include "cli/TerminalPrompts.h"
#include "cli/TerminalReport.h"
#include "extract/ExtractionJob.h"
#include "extract/LeftFiles.h"
#include "inspect/ExecuteCMD.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "text/TextRules.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <set>

namespace cli {

namespace {

// What the names of this program's scratch folders begin with.
constexpr const char* kScratchPrefix = "arvenzo-extract-";

// The output folder as the window would hold it: no final separator
// unless it is the root.
std::string AsFolderText(std::string folder) {
    while (folder.size() > 1 && folder.back() == platform::PathSeparator())
        folder.pop_back();
    return folder;
}

// Why the document, the output folder or the manifest's place cannot
// serve; empty when they can.
std::string PlaceProblem(const ExtractOptions& options, const std::string& input,
                         const std::string& outputFolder, const RunManifest* manifest) {
    if (const std::string problem = DocumentProblem(input); !problem.empty())
        return input + problem;
    if (!inspect::IsPdfName(input))
        return input + " is not a PDF file";
    if (!options.list &&
        platform::LookUpPath(outputFolder).kind == platform::PathState::Kind::Reached &&
        !platform::FolderExists(outputFolder))
        return outputFolder + " is not a folder";
    return manifest ? manifest->PlaceProblem() : std::string();
}

// "1.9"
std::string PlaceText(const extract::PicturePlace& place) {
    return extract::PicturesText({place});
}

// With --only, the pages are narrowed to those of the pictures chosen, each
// of which must be there: one that is not is said before anything runs. A
// picture the tool cannot read is there; the run names its failure.
bool TakeChosenPictures(ListingRequest& request, const std::string& toolFolder,
                        const Messages& messages) {
    const std::vector<extract::PicturePlace>& only = request.pictures.only;
    if (only.empty())
        return true;
    const std::string pages = " on pages " + std::to_string(request.firstPage) + " to " +
                              std::to_string(request.lastPage);
    const auto [lowest, highest] = std::minmax_element(only.begin(), only.end());
    if (lowest->page < request.firstPage || highest->page > request.lastPage) {
        const auto outside = lowest->page < request.firstPage ? lowest : highest;
        messages.Say(request.document + " has no picture " + PlaceText(*outside) + pages);
        return false;
    }
    request.firstPage = lowest->page;
    request.lastPage = highest->page;
    const ToolListing listing = ListImages(request, toolFolder);
    std::set<extract::PicturePlace> there;
    for (const ListedImage& image : listing.images)
        there.insert({image.page, image.onPage});
    for (const extract::PicturePlace& place : only) {
        const std::string failure =
            "page " + std::to_string(place.page) + ", image " + std::to_string(place.onPage);
        const bool failed = std::any_of(
            listing.problems.begin(), listing.problems.end(), [&](const std::string& line) {
                const std::size_t at = line.find(failure);
                return at != std::string::npos && at + failure.size() < line.size() &&
                       (line[at + failure.size()] == ':' || line[at + failure.size()] == ' ');
            });
        if (listing.finished && !there.count(place) && !failed) {
            messages.Say(request.document + " has no picture " + PlaceText(place) + pages +
                         ": --list --json gives each picture's page and image_on_page");
            return false;
        }
    }
    return true;
}

// The document opened, with the password given or one asked for, and the
// pages to do; nothing after saying why it could not be.
std::optional<ListingRequest> OpenDocument(const ExtractOptions& options, const std::string& input,
                                           const std::optional<std::string>& givenPassword,
                                           const std::string& toolFolder,
                                           const Messages& messages) {
    TerminalPrompts prompts(givenPassword, messages, std::getenv(kNoPromptVariable) == nullptr);
    std::string password;
    const inspect::InspectionResult document = inspect::InspectDocument(
        input,
        [&](const std::vector<std::string>& arguments) {
            return inspect::RunConsoleTool(inspect::kInformationTool, arguments, toolFolder,
                                           inspect::kInspectionTimeLimit);
        },
        prompts, password);
    if (!document.found) {
        if (prompts.Unanswered())
            messages.Say(input +
                         " needs a password: give it with --password-file FILE or -P PASSWORD");
        return std::nullopt;
    }
    const std::optional<std::pair<int, int>> pages =
        ResolvePages(options.pages, document.pageCount, messages);
    if (!pages)
        return std::nullopt;
    ListingRequest request{.document = input,
                           .password = password,
                           .firstPage = pages->first,
                           .lastPage = pages->second,
                           .json = options.json,
                           .format = options.format,
                           .pictures = options.pictures};
    if (!TakeChosenPictures(request, toolFolder, messages))
        return std::nullopt;
    return request;
}

extract::JobRequest JobRequestFor(const ExtractOptions& options, const ListingRequest& document,
                                  const std::string& outputFolder) {
    return {.inputPath = document.document,
            .firstPage = document.firstPage,
            .lastPage = document.lastPage,
            .password = document.password,
            .openAfter = true,
            .conversion = {.formatText = options.format,
                           .outputFolder = AsFolderText(outputFolder),
                           .prefix = options.prefix,
                           .keepExisting = options.noClobber,
                           .jpegQuality = options.quality,
                           .hashFiles = options.manifest.has_value()},
            .naming = options.naming,
            .pictures = options.pictures};
}

// A private scratch folder for the tool, once what runs ended by force left
// there is gone; empty after saying why there is none.
std::string ScratchFolder(const Messages& messages) {
    extract::RemoveLeftByEndedRuns(platform::TempFolder(), kScratchPrefix, true);
    std::string problem;
    const std::string scratch =
        platform::CreatePrivateFolder(extract::MarkedPrefix(kScratchPrefix), problem);
    if (scratch.empty())
        messages.Say("cannot create a scratch folder in " + platform::TempFolder() + ": " +
                     problem);
    return scratch;
}

int ExitCode(extract::JobEnd end, const extract::JobFinished& finished) {
    switch (end) {
    case extract::JobEnd::Completed:
        return finished.notReplaced > 0 ? kSomeFailed : kAllWritten;
    case extract::JobEnd::CompletedWithErrors:
        return kSomeFailed;
    case extract::JobEnd::Stopped:
        return finished.outputBroken ? kSomeFailed : kInterrupted;
    case extract::JobEnd::Failed:
        break;
    }
    return kBadInput;
}

// Writes the images of the open document, and its manifest when asked.
int RunJob(const ExtractOptions& options, const ListingRequest& document,
           const std::string& outputFolder, RunManifest* manifest, const std::string& toolFolder,
           const Messages& messages) {
    // Ctrl+C stops after the page under way, a second one or the end of
    // the session at once; either way the scratch folder goes with the run.
    std::atomic<bool> running{true};
    std::atomic<bool> endNow{false};
    platform::StopOnSignals(&running, &endNow);
    const std::string scratch =
        manifest && !manifest->Begin(messages) ? std::string() : ScratchFolder(messages);
    if (scratch.empty()) {
        platform::StopOnSignals(nullptr, nullptr);
        return kBadInput;
    }
    const extract::JobRequest request = JobRequestFor(options, document, outputFolder);
    TerminalReport report(request, messages, platform::ErrorIsTerminal(), options.quiet);
    OutcomeRecorder outcomes(report, manifest ? &manifest->Journal() : nullptr);
    extract::ExtractionJob job(outcomes, running, toolFolder, platform::WithSeparator(scratch),
                               &endNow);
    const extract::JobEnd end = job.Run();
    platform::RemoveFolder(scratch);
    platform::StopOnSignals(nullptr, nullptr);
    const bool completed =
        end == extract::JobEnd::Completed || end == extract::JobEnd::CompletedWithErrors;
    // Only a run that went through its pages has a manifest. A tool that
    // died on a page left some of that page's facts out: they come from a
    // listing of their own.
    if (completed && manifest) {
        const JobOutcomes& done = outcomes.Outcomes();
        ToolListing facts;
        facts.images = done.listed;
        facts.finished = true;
        if (!done.listedWhole)
            facts = ListImages(document, toolFolder, [&] { return bool(endNow); });
        if (!manifest->Write(done, facts, messages))
            return kSomeFailed;
    }
    return ExitCode(end, report.Finished());
}

} // namespace

int RunDocument(const ExtractOptions& options, const std::optional<std::string>& givenPassword,
                const Messages& messages, std::ostream& listing) {
    // The tools run in their own folder, so every path they get is whole.
    const std::string input = platform::AbsolutePath(options.inputs.front());
    const std::string outputFolder = platform::AbsolutePath(options.outputFolder);
    std::optional<RunManifest> manifest;
    if (options.manifest)
        manifest.emplace(options, input, outputFolder);
    if (const std::string problem =
            PlaceProblem(options, input, outputFolder, manifest ? &*manifest : nullptr);
        !problem.empty()) {
        messages.Say(problem);
        return kBadInput;
    }
    if (const std::optional<int> code = manifest ? manifest->DoneBefore(messages) : std::nullopt)
        return *code;
    const std::string toolFolder = text::ExtractFilePath(platform::ExecutablePath());
    const std::optional<ListingRequest> document =
        OpenDocument(options, input, givenPassword, toolFolder, messages);
    if (!document)
        return kBadInput;
    if (options.list)
        return RunListing(*document, listing, std::cerr, toolFolder);
    if (const std::string problem = platform::CreateFolderPath(outputFolder); !problem.empty()) {
        messages.Say("cannot create the folder " + outputFolder + ": " + problem);
        return kBadInput;
    }
    return RunJob(options, *document, outputFolder, manifest ? &*manifest : nullptr, toolFolder,
                  messages);
}

} // namespace cli
