#include "extract/ScratchFiles.h"

#include "ToolContract.h"
#include "platform/Files.h"

#include <algorithm>

namespace extract {

namespace {

// "tmp-": what every name the tool gives begins with.
std::string NamePrefix() {
    return std::string(contract::kScratchRoot) + contract::kNumberSeparator;
}

// The tool's number in "tmp-NNN.ext"; names without one sort last.
unsigned long long Number(const std::string& name) {
    unsigned long long value = 0;
    std::size_t i = NamePrefix().size();
    if (i >= name.size() || name[i] < '0' || name[i] > '9')
        return ~0ull;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && value < 1'000'000'000'000ull; ++i)
        value = value * 10 + static_cast<unsigned>(name[i] - '0');
    return value;
}

bool NamedByTheTool(const std::string& name) {
    const std::string prefix = NamePrefix();
    const std::size_t dot = name.rfind('.');
    if (name.compare(0, prefix.size(), prefix) != 0 || dot == std::string::npos ||
        dot < prefix.size() + contract::kNumberDigits)
        return false;
    for (std::size_t i = prefix.size(); i < dot; ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    const std::string extension = name.substr(dot);
    return std::any_of(std::begin(contract::kScratchExtensions),
                       std::end(contract::kScratchExtensions),
                       [&](const char* known) { return extension == known; });
}

} // namespace

std::vector<std::string> ScratchImages(const std::string& workFolder) {
    std::vector<std::string> names = platform::ListFiles(workFolder, NamePrefix() + "*.*");
    std::erase_if(names, [](const std::string& name) { return !NamedByTheTool(name); });
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto na = Number(a);
        const auto nb = Number(b);
        return na != nb ? na < nb : a < b;
    });
    return names;
}

void RemoveUnfinished(const std::string& folder) {
    for (const std::string& name :
         platform::ListFiles(folder, std::string(contract::kWorkingPrefix) + "*"))
        platform::RemoveFile(folder + name);
}

void EmptyFolder(const std::string& folder) {
    if (folder.empty())
        return; // never the current folder
    for (const std::string& name : platform::ListFiles(folder, "*.*"))
        platform::RemoveFile(folder + name);
}

} // namespace extract
