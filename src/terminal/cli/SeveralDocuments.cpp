#include "cli/SeveralDocuments.h"

#include "cli/DocumentList.h"
#include "cli/ExitCodes.h"
#include "extract/NamePattern.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/Processes.h"
#include "platform/Terminal.h"
#include "text/TextRules.h"

#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace cli {

namespace {

// Usage and input problems are worse than images not written; a stop or a
// crash is worse than either.
int Severity(int code) {
    return code >= 0 && code <= kBadInput ? code : kBadInput + 1;
}

int Worse(int code, int than) {
    return Severity(code) > Severity(than) ? code : than;
}

// The folder a document's images get among several, inside `outputFolder`:
// its file name without ".pdf", or the whole file name when that would
// leave "", "." or "..". Never the folder itself nor one outside it.
std::string DocumentFolder(const std::string& outputFolder, const std::string& input) {
    std::string name = extract::DocumentName(input);
    // "..pdf" would be the output folder itself and "...pdf" the one above
    // it: such a document keeps its whole file name.
    if (name.empty() || name == "." || name == "..")
        name = text::ExtractFileName(input);
    for (char& c : name)
        if (c == '/' || c == platform::PathSeparator())
            c = '_';
    return platform::WithSeparator(outputFolder) + name;
}

// The run of one document, as a command of its own, started; nothing after
// saying why it could not be.
std::unique_ptr<platform::ChildProcess> Start(const ExtractOptions& options,
                                              const std::string& input, const std::string& folder,
                                              const Messages& messages) {
    const bool sideBySide = options.jobs > 1;
    std::vector<std::string> args = RunOptions(options);
    if (options.manifest)
        args.push_back("--manifest");
    if (options.resume)
        args.push_back("--resume");
    if (options.quiet || sideBySide)
        args.push_back("--quiet");
    // A password file is passed on, so its password shows in no process list.
    if (options.passwordFile)
        args.insert(args.end(), {"--password-file", platform::AbsolutePath(*options.passwordFile)});
    else if (options.password)
        args.insert(args.end(), {"--password", *options.password});
    args.insert(args.end(), {"--", input, folder});
    std::vector<std::string> environment{std::string(kDocumentVariable) + "=" +
                                         text::ExtractFileName(input)};
    if (sideBySide)
        environment.push_back(std::string(kNoPromptVariable) + "=1");
    const std::string program = platform::ExecutablePath();
    auto process = std::make_unique<platform::ChildProcess>(program, std::move(args), environment);
    if (process->StartProblem().empty())
        return process;
    messages.Say("cannot start " + program + ": " + process->StartProblem());
    return nullptr;
}

// The documents that can be run, each with its folder.
struct Batch {
    std::vector<std::string> inputs;
    std::vector<std::string> folders;
    std::size_t missing = 0;
    int worst = kAllWritten;
};

// Known before anything starts: no process, and no wait, for a document
// that is not there. Nothing when two documents would share a folder,
// after saying so.
std::optional<Batch> PlaceDocuments(const ExtractOptions& options, const Messages& messages) {
    const std::string outputFolder = platform::AbsolutePath(options.outputFolder);
    Batch batch;
    std::map<std::string, std::string> taken; // folder -> the document that has it
    for (const std::string& given : options.inputs) {
        const std::string input = platform::AbsolutePath(given);
        if (const std::string problem = DocumentProblem(input); !problem.empty()) {
            Messages(messages.Stream(), text::ExtractFileName(input)).Say(input + problem);
            batch.missing += platform::LookUpPath(input).kind == platform::PathState::Kind::Missing;
            batch.worst = kBadInput;
            continue;
        }
        const std::string folder = DocumentFolder(outputFolder, input);
        const auto [at, fresh] = taken.emplace(folder, input);
        if (!fresh) {
            messages.Say(at->second + " and " + input + " would share the folder " + folder);
            return std::nullopt;
        }
        batch.inputs.push_back(input);
        batch.folders.push_back(folder);
    }
    return batch;
}

// Ctrl+C on a terminal reaches every document's run as well: each stops
// after its page, and no further document starts. An interrupt sent to
// this process alone is passed on.
struct Stops {
    std::atomic<bool> going{true};
    std::atomic<bool> endNow{false};
    std::atomic<bool> sentToUs{false};
};

// Runs the batch's documents, up to --jobs at once, keeping the worst exit
// code in it; returns how many were started.
std::size_t RunBatch(const ExtractOptions& options, Batch& batch, const Stops& stops,
                     const Messages& messages) {
    std::vector<std::unique_ptr<platform::ChildProcess>> running;
    std::size_t next = 0;
    bool terminated = false;
    bool passedOn = false;
    while ((stops.going && next < batch.inputs.size()) || !running.empty()) {
        for (; stops.going && next < batch.inputs.size() &&
               running.size() < static_cast<std::size_t>(options.jobs);
             ++next)
            if (auto process = Start(options, batch.inputs[next], batch.folders[next], messages))
                running.push_back(std::move(process));
            else
                batch.worst = Worse(kBadInput, batch.worst);
        if (stops.endNow && !terminated) {
            for (const auto& process : running)
                process->Terminate();
            terminated = true;
        } else if (stops.sentToUs && !passedOn) {
            for (const auto& process : running)
                process->Interrupt();
            passedOn = true;
        }
        for (auto process = running.begin(); process != running.end();) {
            int code = 0;
            if (!(*process)->Ended(code)) {
                ++process;
                continue;
            }
            batch.worst = Worse(code, batch.worst);
            process = running.erase(process);
        }
        if (!running.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return next;
}

} // namespace

int RunSeveralDocuments(const ExtractOptions& options, const Messages& messages) {
    std::optional<Batch> batch = PlaceDocuments(options, messages);
    if (!batch)
        return kBadInput;
    Stops stops;
    platform::StopOnSignals(&stops.going, &stops.endNow, &stops.sentToUs);
    const std::size_t started = RunBatch(options, *batch, stops, messages);
    platform::StopOnSignals(nullptr, nullptr);
    if (const std::size_t left = batch->inputs.size() - started; left > 0)
        messages.Say("stopped: " + std::to_string(left) +
                     (left == 1 ? " document was not started" : " documents were not started"));
    if (const std::size_t missing = batch->missing; missing > 0)
        messages.Say(std::to_string(missing) + " of " + std::to_string(options.inputs.size()) +
                     (options.inputs.size() == 1 ? " document" : " documents") +
                     (missing == 1 ? " was" : " were") + " missing");
    if (!stops.going && Severity(batch->worst) <= kBadInput)
        return kInterrupted;
    return batch->worst;
}

} // namespace cli
