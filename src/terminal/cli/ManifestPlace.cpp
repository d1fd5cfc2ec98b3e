#include "cli/ManifestPlace.h"

#include "ToolContract.h"
#include "extract/Formats.h"
#include "extract/LeftFiles.h"
#include "extract/NamePattern.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "text/TextRules.h"

#include <algorithm>

namespace cli {

namespace {

// Where a file of this path goes once it is written: its folder resolved,
// and its own name, which the writing replaces even when it is a link.
std::string Place(const std::string& path) {
    return platform::WithSeparator(platform::CanonicalPath(text::ExtractFilePath(path))) +
           text::ExtractFileName(path);
}

// Whether the run may write an image under `name`.
bool IsImageName(const std::string& name, const std::string& input, const ExtractOptions& o) {
    const std::string extension = text::ExtractFileExt(name);
    const bool formatGivesIt = std::any_of(
        std::begin(contract::kScratchExtensions), std::end(contract::kScratchExtensions),
        [&](const char* scratch) {
            return "." + text::LowerCase(extract::ChooseFormat(o.format, scratch).extension) ==
                   extension;
        });
    if (!formatGivesIt)
        return false;
    const std::string stem = name.substr(0, name.size() - extension.size());
    if (o.name)
        return o.naming.CouldName(stem, extract::DocumentName(input));
    const std::string prefix = text::Trim(o.prefix);
    return stem.size() > prefix.size() && stem.compare(0, prefix.size(), prefix) == 0 &&
           std::all_of(stem.begin() + static_cast<long>(prefix.size()), stem.end(),
                       [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

std::string ManifestPlaceProblem(const std::string& manifest, const std::string& input,
                                 const std::string& outputFolder, const ExtractOptions& options) {
    const std::string named = "the manifest " + manifest;
    if (platform::LookUpPath(manifest).kind == platform::PathState::Kind::Reached &&
        !platform::FileExists(manifest))
        return named + " is not a regular file";
    const std::string place = Place(manifest);
    if (place == Place(input) || place == platform::CanonicalPath(input))
        return named + " is the document itself";
    if (platform::CanonicalPath(text::ExtractFilePath(manifest)) !=
        platform::CanonicalPath(outputFolder))
        return {};
    const std::string name = text::ExtractFileName(manifest);
    if (name.rfind(extract::kWorkingFilePrefix, 0) == 0)
        return named + " has a name the run's working files take";
    if (IsImageName(name, input, options))
        return named + " has a name the run may give an image";
    return {};
}

} // namespace cli
