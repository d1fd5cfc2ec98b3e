#include "cli/ExtractCommand.h"

#include "cli/DocumentList.h"
#include "cli/ExitCodes.h"
#include "cli/ImageListing.h"
#include "cli/Json.h"
#include "cli/OneDocument.h"
#include "cli/PasswordFile.h"
#include "cli/SeveralDocuments.h"
#include "platform/Environment.h"
#include "text/TextRules.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>

namespace cli {

namespace {

// Messages name the document when this run is one of several.
Messages MessagesOn(std::FILE* err) {
    const char* document = std::getenv(kDocumentVariable);
    return Messages(err, document ? document : "");
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
    MessagesOn(err).Say(std::string("cannot write to standard output") +
                        (reason ? std::string(": ") + std::strerror(reason) : std::string()));
    return code == kAllWritten ? kSomeFailed : code;
}

int RunExtractCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    const Messages messages = MessagesOn(err);
    std::string error;
    std::optional<ExtractOptions> options = ParseCommandLine(args, error);
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
    if (platform::HoldsSeparator(options->prefix)) {
        messages.Say("the prefix '" + options->prefix + "' holds a path separator");
        return kBadInput;
    }
    ExtractOptions& given = *options;
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
