#include "cli/SeveralDocuments.h"

#include "cli/DocumentList.h"
#include "cli/ExtractCommand.h"
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
#include <thread>

namespace cli {

namespace {

// Usage and input problems are worse than images not written; a stop or a
// crash is worse than either.
int Severity(int code) {
    return code >= 0 && code <= kBadInput ? code : kBadInput + 1;
}

std::vector<std::string> DocumentArguments(const ExtractOptions& options, bool quiet,
                                           const std::string& input, const std::string& folder) {
    std::vector<std::string> args{"--format",     options.format, "--prefix",
                                  options.prefix, "--quality",    std::to_string(options.quality)};
    if (!options.pages.text.empty())
        args.insert(args.end(), {"--range", options.pages.text});
    if (options.noClobber)
        args.push_back("--no-clobber");
    if (options.unique)
        args.push_back("--unique");
    if (options.minWidth > 0 || options.minHeight > 0)
        args.push_back("--min-size=" + std::to_string(options.minWidth) + "x" +
                       std::to_string(options.minHeight));
    if (options.manifest)
        args.push_back("--manifest");
    if (options.resume)
        args.push_back("--resume");
    if (options.name)
        args.push_back("--name=" + *options.name);
    if (quiet)
        args.push_back("--quiet");
    // A password file is passed on, so its password shows in no process list.
    if (options.passwordFile)
        args.insert(args.end(), {"--password-file", platform::AbsolutePath(*options.passwordFile)});
    else if (options.password)
        args.insert(args.end(), {"--password", *options.password});
    args.insert(args.end(), {"--", input, folder});
    return args;
}

struct Running {
    std::unique_ptr<platform::ChildProcess> process;
    std::string name;
};

} // namespace

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

int RunSeveralDocuments(const ExtractOptions& options, const Messages& messages) {
    const std::string outputFolder = platform::AbsolutePath(options.outputFolder);
    std::vector<std::string> inputs, folders;
    std::map<std::string, std::string> taken; // folder -> the document that has it
    int worst = kAllWritten;
    std::size_t missing = 0;
    for (const std::string& given : options.inputs) {
        const std::string input = platform::AbsolutePath(given);
        // Known before anything starts: no process, and no wait, for a
        // document that is not there.
        if (const std::string problem = DocumentProblem(input); !problem.empty()) {
            Messages(messages.Stream(), text::ExtractFileName(input)).Say(input + problem);
            missing += platform::LookUpPath(input).kind == platform::PathState::Kind::Missing;
            worst = kBadInput;
            continue;
        }
        const std::string folder = DocumentFolder(outputFolder, input);
        const auto [at, fresh] = taken.emplace(folder, input);
        if (!fresh) {
            messages.Say(at->second + " and " + input + " would share the folder " + folder);
            return kBadInput;
        }
        inputs.push_back(input);
        folders.push_back(folder);
    }

    const std::string program = platform::ExecutablePath();
    const bool sideBySide = options.jobs > 1;
    std::atomic<bool> going{true};
    std::atomic<bool> endNow{false};
    std::atomic<bool> sentToUs{false};
    // Ctrl+C on a terminal reaches every document's run as well: each stops
    // after its page, and no further document starts. An interrupt sent to
    // this process alone is passed on.
    platform::StopOnSignals(&going, &endNow, &sentToUs);
    std::vector<Running> running;
    std::size_t next = 0;
    bool terminated = false;
    bool passedOn = false;
    while ((going && next < inputs.size()) || !running.empty()) {
        while (going && next < inputs.size() &&
               running.size() < static_cast<std::size_t>(options.jobs)) {
            std::vector<std::string> environment{std::string(kDocumentVariable) + "=" +
                                                 text::ExtractFileName(inputs[next])};
            if (sideBySide)
                environment.push_back(std::string(kNoPromptVariable) + "=1");
            auto process = std::make_unique<platform::ChildProcess>(
                program,
                DocumentArguments(options, options.quiet || sideBySide, inputs[next],
                                  folders[next]),
                environment);
            if (!process->StartProblem().empty()) {
                messages.Say("cannot start " + program + ": " + process->StartProblem());
                if (Severity(kBadInput) > Severity(worst))
                    worst = kBadInput;
            } else {
                running.push_back({std::move(process), inputs[next]});
            }
            ++next;
        }
        if (endNow && !terminated) {
            for (Running& r : running)
                r.process->Terminate();
            terminated = true;
        } else if (sentToUs && !passedOn) {
            for (Running& r : running)
                r.process->Interrupt();
            passedOn = true;
        }
        for (auto r = running.begin(); r != running.end();) {
            int code = 0;
            if (!r->process->Ended(code)) {
                ++r;
                continue;
            }
            if (Severity(code) > Severity(worst))
                worst = code;
            r = running.erase(r);
        }
        if (!running.empty())
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    platform::StopOnSignals(nullptr, nullptr);
    if (next < inputs.size()) {
        const std::size_t left = inputs.size() - next;
        messages.Say("stopped: " + std::to_string(left) +
                     (left == 1 ? " document was not started" : " documents were not started"));
    }
    if (missing > 0)
        messages.Say(std::to_string(missing) + " of " + std::to_string(options.inputs.size()) +
                     (options.inputs.size() == 1 ? " document" : " documents") +
                     (missing == 1 ? " was" : " were") + " missing");
    if (!going && Severity(worst) <= kBadInput)
        return kInterrupted;
    return worst;
}

} // namespace cli
