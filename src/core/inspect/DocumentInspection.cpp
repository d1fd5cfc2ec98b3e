#include "inspect/DocumentInspection.h"

#include "inspect/ExecuteCMD.h"
#include "platform/ConsoleTool.h"
#include "platform/Environment.h"
#include "text/IntegerText.h"
#include "text/TextRules.h"

#include <cstring>

namespace inspect {

std::vector<std::string> InformationArguments(const std::string& path,
                                              const std::string& password) {
    if (password.empty())
        return {path};
    return {contract::kPasswordOption, password, path};
}

bool IsPdfName(const std::string& path) {
    return text::LowerCase(text::ExtractFileExt(path)) == ".pdf";
}

bool FindPageCount(const std::vector<std::string>& lines, std::int32_t& pageCount) {
    bool found = false;
    for (const std::string& line : lines) {
        const std::string trimmed = text::Trim(line);
        if (trimmed.rfind(contract::kPagesLabel, 0) != 0)
            continue;
        pageCount = text::StrToInt(text::Trim(trimmed.substr(std::strlen(contract::kPagesLabel))));
        found = true;
    }
    return found;
}

bool EndedForTime(const std::vector<std::string>& lines) {
    const auto endsWith = [](const std::string& line, const std::string& end) {
        return line.size() >= end.size() &&
               line.compare(line.size() - end.size(), end.size(), end) == 0;
    };
    // Either ends the tool, so only its last line can say it.
    if (lines.empty())
        return false;
    const std::string last = text::Trim(lines.back());
    return endsWith(last, contract::kOutOfProcessorTime) ||
           endsWith(last, platform::kTimeLimitEnded);
}

InspectionResult InspectDocument(const std::string& path, const InformationTool& tool,
                                 InspectionUi& ui, std::string& password) {
    password.clear();
    InspectionResult result;
    for (;;) {
        const std::vector<std::string> lines =
            OutputLines(tool(InformationArguments(path, password)));
        if (!lines.empty() && lines.front() == contract::kIncorrectPassword) {
            if (!text::Trim(password).empty())
                ui.ShowWrongPassword();
            password.clear();
            std::string typed;
            if (!ui.AskPassword(typed))
                return result;
            password = typed;
            if (text::Trim(password).empty())
                return result;
            continue;
        }
        // No line at all (the tool printed nothing, or was ended) is a
        // document whose information could not be read.
        if (!lines.empty() && FindPageCount(lines, result.pageCount)) {
            result.found = true;
            return result;
        }
        if (EndedForTime(lines))
            ui.ShowTookTooLong(path);
        else
            ui.ShowHeaderWarning();
        return result;
    }
}

std::vector<std::string> AutoOutputFolderSteps(const std::string& documentPath) {
    std::string folder = text::ExtractFilePath(documentPath);
    if (!folder.empty())
        folder.pop_back();
    if (folder.empty() && !text::ExtractFilePath(documentPath).empty())
        return {std::string(1, platform::PathSeparator())}; // the root stays the root
    std::vector<std::string> steps{folder};
    if (folder.size() == 2)
        steps.push_back(folder + platform::PathSeparator());
    return steps;
}

} // namespace inspect
