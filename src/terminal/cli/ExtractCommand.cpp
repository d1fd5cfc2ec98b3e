#include "cli/ExtractCommand.h"

#include "cli/CommandLine.h"
#include "cli/TerminalReport.h"
#include "extract/ExtractionJob.h"
#include "inspect/DocumentInspection.h"
#include "inspect/ExecuteCMD.h"
#include "platform/platform.h"
#include "text/TextRules.h"

#include <atomic>

namespace cli {

namespace {

// The inspection's questions, answered from the command line or the
// terminal.
class TerminalPrompts : public inspect::InspectionUi {
public:
    TerminalPrompts(std::optional<std::string> given, std::FILE* out)
        : given_(std::move(given)), out_(out) {}

    bool AskPassword(std::string& value) override {
        if (given_) {
            // A password from the command line gets one try.
            value = *given_;
            given_.reset();
            return !value.empty();
        }
        if (triedGiven_)
            return false;
        return platform::ReadHiddenLine("Password: ", value);
    }
    void ShowWrongPassword() override {
        std::fprintf(out_, "Wrong password, please try it again!\n");
    }
    void ShowHeaderWarning() override {
        std::fprintf(out_, "Couldn't read PDF header info!\nProbably this file is damaged!\n");
    }
    void GaveOnCommandLine() { triedGiven_ = given_.has_value(); }

private:
    std::optional<std::string> given_;
    bool triedGiven_ = false;
    std::FILE* out_;
};

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != platform::PathSeparator())
        folder += platform::PathSeparator();
    return folder;
}

// The output folder as the window would hold it: no final separator
// unless it is the root.
std::string AsFolderText(std::string folder) {
    while (folder.size() > 1 && folder.back() == platform::PathSeparator())
        folder.pop_back();
    return folder;
}

} // namespace

int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out) {
    std::string error;
    std::optional<ExtractOptions> options = ParseCommandLine(args, error);
    if (!options) {
        if (!error.empty())
            std::fprintf(out, "arvenzo-extract: %s\n", error.c_str());
        std::fprintf(out, "%s", kUsage);
        return error.empty() ? kAllWritten : kBadInput;
    }
    // The tools run in their own folder, so every path they get is whole.
    options->input = platform::AbsolutePath(options->input);
    options->outputFolder = platform::AbsolutePath(options->outputFolder);
    if (!inspect::IsPdfName(options->input) || !platform::FileExists(options->input)) {
        std::fprintf(out, "arvenzo-extract: %s is not a PDF file\n", options->input.c_str());
        return kBadInput;
    }
    if (!platform::FolderExists(options->outputFolder)) {
        std::fprintf(out, "arvenzo-extract: %s is not a folder\n", options->outputFolder.c_str());
        return kBadInput;
    }

    const std::string toolFolder = text::ExtractFilePath(platform::ExecutablePath());
    TerminalPrompts prompts(options->password, out);
    prompts.GaveOnCommandLine();
    std::string password;
    const inspect::InspectionResult document = inspect::InspectDocument(
        options->input,
        [&](const std::vector<std::string>& arguments) {
            return inspect::RunConsoleTool(inspect::kInformationTool, arguments, toolFolder,
                                           inspect::kInspectionTimeLimit);
        },
        prompts, password);
    if (!document.found)
        return kBadInput;

    // Ctrl+C stops after the page under way, a second one or the end of
    // the session at once; either way the scratch folder goes with the run.
    std::atomic<bool> running{true};
    std::atomic<bool> endNow{false};
    platform::StopOnSignals(&running, &endNow);
    const std::string scratch = platform::CreatePrivateFolder("arvenzo-extract");
    if (scratch.empty()) {
        platform::StopOnSignals(nullptr, nullptr);
        std::fprintf(out, "arvenzo-extract: cannot create a scratch folder\n");
        return kBadInput;
    }
    extract::JobSettings settings;
    settings.inputPath = options->input;
    settings.pageCountText = std::to_string(document.pageCount);
    settings.pageRangeText = options->range;
    settings.password = password;
    settings.openAfter = true;
    settings.conversion = {options->format, AsFolderText(options->outputFolder), options->prefix};

    TerminalReport report(settings, out, platform::ErrorIsTerminal());
    extract::ExtractionJob job(report, running, toolFolder, WithSeparator(scratch), &endNow);
    const extract::JobEnd end = job.Run();
    platform::RemoveFolder(scratch);
    platform::StopOnSignals(nullptr, nullptr);
    switch (end) {
    case extract::JobEnd::Completed:
        return kAllWritten;
    case extract::JobEnd::CompletedWithErrors:
    case extract::JobEnd::Stopped:
        return kSomeFailed;
    case extract::JobEnd::Failed:
        break;
    }
    return kBadInput;
}

} // namespace cli
