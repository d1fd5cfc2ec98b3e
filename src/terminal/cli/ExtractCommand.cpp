#include "cli/ExtractCommand.h"

#include "cli/CommandLine.h"
#include "cli/DocumentList.h"
#include "cli/ImageListing.h"
#include "cli/Json.h"
#include "cli/Manifest.h"
#include "cli/ManifestPlace.h"
#include "cli/Messages.h"
#include "cli/ResumeCheck.h"
#include "cli/SeveralDocuments.h"
#include "cli/TerminalReport.h"
#include "extract/ExtractionJob.h"
#include "extract/LeftFiles.h"
#include "inspect/DocumentInspection.h"
#include "inspect/ExecuteCMD.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Terminal.h"
#include "text/TextRules.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <sstream>

namespace cli {

namespace {

// The inspection's questions, answered from the command line or the
// terminal.
class TerminalPrompts : public inspect::InspectionUi {
public:
    TerminalPrompts(std::optional<std::string> given, const Messages& messages, bool mayAsk)
        : given_(std::move(given)), triedGiven_(given_.has_value()), messages_(messages),
          mayAsk_(mayAsk) {}

    bool AskPassword(std::string& value) override {
        if (given_) {
            // A password from the command line gets one try.
            value = *given_;
            given_.reset();
            unanswered_ = value.empty();
            return !value.empty();
        }
        if (triedGiven_)
            return false;
        unanswered_ = !mayAsk_ || !platform::ReadHiddenLine("Password: ", value);
        return !unanswered_;
    }
    void ShowWrongPassword() override { messages_.Say("Wrong password, please try it again!"); }
    void ShowHeaderWarning() override {
        messages_.Say("Couldn't read PDF header info!");
        messages_.Say("Probably this file is damaged!");
    }
    void ShowTookTooLong(const std::string& path) override {
        messages_.Say(path + " took too long to read; reading it was given up");
    }
    // True when a password was needed and nobody could give one.
    bool Unanswered() const { return unanswered_; }

private:
    std::optional<std::string> given_;
    bool triedGiven_;
    const Messages& messages_;
    bool mayAsk_;
    bool unanswered_ = false;
};

// What the names of this program's scratch folders begin with.
constexpr const char* kScratchPrefix = "arvenzo-extract-";

// The output folder as the window would hold it: no final separator
// unless it is the root.
std::string AsFolderText(std::string folder) {
    while (folder.size() > 1 && folder.back() == platform::PathSeparator())
        folder.pop_back();
    return folder;
}

std::string Pages(long long n) {
    return std::to_string(n) + (n == 1 ? " page" : " pages");
}

// The pages asked for, or nothing after saying why the request does not fit
// the document; every page when none were asked for.
std::optional<std::pair<int, int>> ResolvePages(const PageRequest& request, std::int32_t pageCount,
                                                const Messages& messages) {
    if (!request.first && !request.last)
        return std::pair<int, int>{1, pageCount};
    const long long first = request.first.value_or(1);
    const long long last = request.last.value_or(pageCount);
    if (first < 1 || last < 1 || first > pageCount || last > pageCount) {
        messages.Say("page range " + request.text + " is outside the document, which has " +
                     Pages(pageCount));
        return std::nullopt;
    }
    if (first > last) {
        messages.Say("page range " + request.text + " is reversed; the document has " +
                     Pages(pageCount));
        return std::nullopt;
    }
    return std::pair<int, int>{static_cast<int>(first), static_cast<int>(last)};
}

bool HoldsSeparator(const std::string& s) {
    return s.find('/') != std::string::npos ||
           s.find(platform::PathSeparator()) != std::string::npos;
}

// The first line of `path`, without its line end.
std::optional<std::string> ReadPasswordFile(const std::string& path, const Messages& messages) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                         &std::fclose);
    if (!file) {
        messages.Say("cannot read the password file " + path + ": " + std::strerror(errno));
        return std::nullopt;
    }
    std::string line;
    for (int c = std::fgetc(file.get()); c != EOF && c != '\n'; c = std::fgetc(file.get()))
        line.push_back(static_cast<char>(c));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

std::string ManifestPath(const ExtractOptions& options, const std::string& outputFolder) {
    return options.manifest->empty() ? platform::WithSeparator(outputFolder) + kManifestName
                                     : platform::AbsolutePath(*options.manifest);
}

// The manifest of a run that went through its pages: the listing's facts of
// each picture with what the job made of it. False after saying why it
// could not be written.
bool WriteRunManifest(const ExtractOptions& options, const extract::JobRequest& request,
                      const SizedDigest& document, const JobOutcomes& outcomes,
                      const ToolListing& listing, const Messages& messages) {
    const std::string path = ManifestPath(options, request.conversion.outputFolder);
    // A manifest that exists holds every picture, or it is not written.
    if (!listing.finished) {
        messages.Say("cannot write the manifest " + path +
                     ": the pictures of the pages could not all be listed");
        return false;
    }
    const std::vector<std::string> rows = ManifestRows(listing.images, outcomes);
    std::vector<std::string> lines{
        ManifestHeader({text::ExtractFileName(request.inputPath), document.size, document.sha256},
                       RunOptionsText(options), rows.size())};
    lines.insert(lines.end(), rows.begin(), rows.end());
    const std::string problem = WriteManifest(path, lines);
    if (problem.empty())
        return true;
    messages.Say("cannot write the manifest " + path + ": " + problem);
    return false;
}

int RunDocument(const ExtractOptions& options, const std::optional<std::string>& givenPassword,
                const Messages& messages, std::ostream& listing = std::cout) {
    // The tools run in their own folder, so every path they get is whole.
    const std::string input = platform::AbsolutePath(options.inputs.front());
    const std::string outputFolder = platform::AbsolutePath(options.outputFolder);
    if (const std::string problem = DocumentProblem(input); !problem.empty()) {
        messages.Say(input + problem);
        return kBadInput;
    }
    if (!inspect::IsPdfName(input)) {
        messages.Say(input + " is not a PDF file");
        return kBadInput;
    }
    if (!options.list &&
        platform::LookUpPath(outputFolder).kind == platform::PathState::Kind::Reached &&
        !platform::FolderExists(outputFolder)) {
        messages.Say(outputFolder + " is not a folder");
        return kBadInput;
    }
    const std::string manifest = options.manifest ? ManifestPath(options, outputFolder) : "";
    if (const std::string problem =
            options.manifest ? ManifestPlaceProblem(manifest, input, outputFolder, options) : "";
        !problem.empty()) {
        messages.Say(problem);
        return kBadInput;
    }
    // The document's size and digest, for the manifest's first line and for
    // a manifest's check: taken once, and only when needed.
    std::optional<SizedDigest> documentDigest;
    const auto digestOfDocument = [&] {
        if (!documentDigest)
            documentDigest = FileSizeAndSha256(input).value_or(SizedDigest{});
        return *documentDigest;
    };
    ResumeVerdict earlier;
    if (options.resume) {
        earlier = CheckManifest(
            manifest, outputFolder,
            {text::ExtractFileName(input), RunOptionsText(options), digestOfDocument});
        if (earlier.kind == ResumeVerdict::Kind::Done) {
            messages.Say(input + " was done before: " + manifest + " lists its images");
            return earlier.failures ? kSomeFailed : kAllWritten;
        }
        if (earlier.kind == ResumeVerdict::Kind::Redo)
            messages.Say(input + " is done again: its manifest " + manifest + " " + earlier.why);
    }

    const std::string toolFolder = text::ExtractFilePath(platform::ExecutablePath());
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
        return kBadInput;
    }
    const std::optional<std::pair<int, int>> pages =
        ResolvePages(options.pages, document.pageCount, messages);
    if (!pages)
        return kBadInput;
    if (options.list)
        return RunListing({input, password, pages->first, pages->second, options.json,
                           options.format, options.unique, options.minWidth, options.minHeight},
                          listing, std::cerr);
    const std::string folderProblem = platform::CreateFolderPath(outputFolder);
    if (!folderProblem.empty()) {
        messages.Say("cannot create the folder " + outputFolder + ": " + folderProblem);
        return kBadInput;
    }

    // Ctrl+C stops after the page under way, a second one or the end of
    // the session at once; either way the scratch folder goes with the run.
    std::atomic<bool> running{true};
    std::atomic<bool> endNow{false};
    platform::StopOnSignals(&running, &endNow);
    // The files of a run that ended before its manifest go, and only they;
    // so do those of a manifest not trusted, and the manifest.
    if (options.resume &&
        (!FileJournal::ClearAway(manifest + kJournalSuffix, outputFolder) ||
         (earlier.kind == ResumeVerdict::Kind::Redo &&
          (!RemoveNamedFiles(outputFolder, earlier.files) || !platform::RemoveFile(manifest))))) {
        platform::StopOnSignals(nullptr, nullptr);
        messages.Say("cannot remove the files an unfinished run left in " + outputFolder);
        return kBadInput;
    }
    std::optional<FileJournal> journal;
    if (options.manifest)
        journal.emplace(manifest + kJournalSuffix);
    // What runs ended by force left there goes first.
    extract::RemoveLeftByEndedRuns(platform::TempFolder(), kScratchPrefix, true);
    std::string scratchProblem;
    const std::string scratch =
        platform::CreatePrivateFolder(extract::MarkedPrefix(kScratchPrefix), scratchProblem);
    if (scratch.empty()) {
        platform::StopOnSignals(nullptr, nullptr);
        messages.Say("cannot create a scratch folder in " + platform::TempFolder() + ": " +
                     scratchProblem);
        return kBadInput;
    }
    extract::JobRequest request;
    request.inputPath = input;
    request.firstPage = pages->first;
    request.lastPage = pages->second;
    request.password = password;
    request.openAfter = true;
    request.conversion = {options.format, AsFolderText(outputFolder), options.prefix,
                          options.noClobber, options.quality};
    request.conversion.hashFiles = options.manifest.has_value();
    request.unique = options.unique;
    request.minWidth = options.minWidth;
    request.minHeight = options.minHeight;

    std::string unused;
    request.naming =
        options.name ? *extract::NamePattern::Read(*options.name, unused) : extract::NamePattern();
    const ListingRequest listed{
        input,          password,       pages->first,     pages->second,    false,
        options.format, options.unique, options.minWidth, options.minHeight};
    TerminalReport report(request, messages, platform::ErrorIsTerminal(), options.quiet);
    OutcomeRecorder outcomes(report, journal ? &*journal : nullptr);
    extract::ExtractionJob job(outcomes, running, toolFolder, platform::WithSeparator(scratch),
                               &endNow);
    const extract::JobEnd end = job.Run();
    platform::RemoveFolder(scratch);
    platform::StopOnSignals(nullptr, nullptr);
    const extract::JobFinished& finished = report.Finished();
    const bool completed =
        end == extract::JobEnd::Completed || end == extract::JobEnd::CompletedWithErrors;
    // Only a run that went through its pages has a manifest.
    if (completed && options.manifest) {
        ToolListing facts;
        facts.images = outcomes.Outcomes().listed;
        facts.finished = true;
        // A tool that died on a page left some of that page's facts out:
        // they come from a listing of their own.
        if (!outcomes.Outcomes().listedWhole)
            facts = ListImages(listed, toolFolder, [&] { return bool(endNow); });
        if (!WriteRunManifest(options, request, digestOfDocument(), outcomes.Outcomes(), facts,
                              messages))
            return kSomeFailed;
        journal->Close();
    }
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

// Each line of a JSON listing, told first which document it is from.
std::string WithDocument(const std::string& lines, const std::string& document) {
    std::string out;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        if (const Json row = Json::parse(line, nullptr, false); row.is_object()) {
            Json named{{"document", document}};
            named.update(row);
            line = JsonLine(named);
        }
        out += line + "\n";
    }
    return out;
}

// Several documents listed one after the other; the exit code is the worst.
int ListDocuments(const ExtractOptions& options, const std::optional<std::string>& password) {
    int worst = kAllWritten;
    for (const std::string& input : options.inputs) {
        ExtractOptions one = options;
        one.inputs = {input};
        const std::string name = text::ExtractFileName(input);
        std::ostringstream rows;
        const int code = RunDocument(one, password, Messages(stderr, name), rows);
        if (options.json)
            std::cout << WithDocument(rows.str(), name);
        else if (!rows.str().empty())
            std::cout << name << ":\n" << rows.str();
        std::cout.flush();
        worst = std::max(worst, code);
    }
    return worst;
}

} // namespace

int CheckedOutput(int code, std::FILE* out, std::FILE* err) {
    // Either flush may be the one that meets the failure and keeps its reason.
    errno = 0;
    std::cout.flush();
    std::fflush(out);
    const int reason = errno;
    if (!std::ferror(out) && !std::cout.fail())
        return code;
    const char* document = std::getenv(kDocumentVariable);
    Messages(err, document ? document : "")
        .Say(std::string("cannot write to standard output") +
             (reason ? std::string(": ") + std::strerror(reason) : std::string()));
    return code == kAllWritten ? kSomeFailed : code;
}

int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const char* document = std::getenv(kDocumentVariable);
    const Messages messages(err, document ? document : "");
    std::string error;
    const std::optional<ExtractOptions> options = ParseCommandLine(args, error);
    if (!options) {
        messages.Say(error);
        messages.Say("usage: arvenzo-extract [OPTIONS] INPUT.pdf... OUTPUT_FOLDER "
                     "(--help tells more)");
        return kBadInput;
    }
    if (options->help) {
        std::fputs(HelpText().c_str(), out);
        return kAllWritten;
    }
    if (options->version) {
        std::fputs("arvenzo-extract (Arvenzo) " ARVENZO_VERSION "\n"
                   "Copyright (C) 2026 Tessaly.\n"
                   "License AGPLv3+: GNU AGPL version 3 or later "
                   "<https://gnu.org/licenses/agpl.html>.\n"
                   "This is free software: you are free to change and redistribute it.\n"
                   "There is NO WARRANTY, to the extent permitted by law.\n",
                   out);
        return kAllWritten;
    }
    // The images go into the output folder and nowhere else.
    if (HoldsSeparator(options->prefix)) {
        messages.Say("the prefix '" + options->prefix + "' holds a path separator");
        return kBadInput;
    }
    ExtractOptions given = *options;
    if (given.from && !ReadDocumentList(given, messages))
        return kBadInput;
    std::optional<std::string> password = given.password;
    if (given.passwordFile) {
        password = ReadPasswordFile(*given.passwordFile, messages);
        if (!password)
            return kBadInput;
    }
    if (given.manifest && given.list) {
        messages.Say("--manifest and --resume go with extracting, not with --list");
        return kBadInput;
    }
    // One file cannot hold the manifests of several documents.
    if (given.manifest && !given.manifest->empty() && given.inputs.size() > 1) {
        messages.Say("--manifest=" + *given.manifest +
                     " names one file for several documents: give --manifest alone to have "
                     "one in each document's folder");
        return kBadInput;
    }
    if (given.list && given.inputs.size() > 1)
        return ListDocuments(given, password);
    if (given.inputs.size() > 1)
        return RunSeveralDocuments(given, messages);
    return RunDocument(given, password, messages);
}

} // namespace cli
