// Asking vellam.bin about a chosen document: its page count, and the user
// password for as long as the tool says it is missing or wrong.
#pragma once

#include "ToolContract.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace inspect {

// The window and arvenzo-extract run the tool by this name.
using contract::kInformationTool;

inline constexpr std::chrono::seconds kInspectionTimeLimit{60};

// What the inspection needs from the user.
class InspectionUi {
public:
    virtual ~InspectionUi() = default;
    // Asks for the password; false when the user cancelled. `value` comes in
    // empty and holds the typed text exactly on true.
    virtual bool AskPassword(std::string& value) = 0;
    virtual void ShowWrongPassword() = 0;
    virtual void ShowHeaderWarning() = 0;
    // The tool was ended for taking too long over the document at `path`.
    virtual void ShowTookTooLong(const std::string& path) = 0;
};

// Runs the information tool with these arguments and returns its output.
using InformationTool = std::function<std::string(const std::vector<std::string>& arguments)>;

// The arguments for the document at `path`, with the password when there is
// one. The password is one argument, whatever it holds.
std::vector<std::string> InformationArguments(const std::string& path, const std::string& password);

// True when the document's name ends in ".pdf", in any case.
bool IsPdfName(const std::string& path);

// The page count of the last page-count line, or false when there is none.
// Such a line whose rest is not a number raises text::ConvertError.
bool FindPageCount(const std::vector<std::string>& lines, std::int32_t& pageCount);

// Whether the tool's output says it was ended for taking too long: by its
// own processor budget, or by the time the program allows it.
bool EndedForTime(const std::vector<std::string>& lines);

struct InspectionResult {
    bool found = false;
    std::int32_t pageCount = 0;
};

// Inspects `path`. `password` is emptied first and, on success, holds the
// password the tool accepted (empty for an unprotected document). A bad
// page count raises text::ConvertError and leaves `password` as last used.
InspectionResult InspectDocument(const std::string& path, const InformationTool& tool,
                                 InspectionUi& ui, std::string& password);

// The output folder that goes with a document: its folder without the final
// separator, a root staying a root, a two-character folder getting its
// separator back. Each text in the list is set in turn.
std::vector<std::string> AutoOutputFolderSteps(const std::string& documentPath);

} // namespace inspect
