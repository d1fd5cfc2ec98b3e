#include "extract/ScratchFiles.h"

#include "platform/platform.h"

#include <algorithm>

namespace extract {

namespace {

// The tool's number in "tmp-NNN.ext"; names without one sort last.
unsigned long long Number(const std::string& name) {
    unsigned long long value = 0;
    std::size_t i = 4;
    if (i >= name.size() || name[i] < '0' || name[i] > '9')
        return ~0ull;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9' && value < 1'000'000'000'000ull; ++i)
        value = value * 10 + static_cast<unsigned>(name[i] - '0');
    return value;
}

} // namespace

std::vector<std::string> ScratchImages(const std::string& workFolder) {
    std::vector<std::string> names =
        platform::ListFiles(workFolder, std::string(kScratchRoot) + "-*.*");
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const auto na = Number(a);
        const auto nb = Number(b);
        return na != nb ? na < nb : a < b;
    });
    return names;
}

void RemoveUnfinished(const std::string& folder) {
    for (const std::string& name : platform::ListFiles(folder, std::string("~*")))
        platform::RemoveFile(folder + name);
}

void EmptyFolder(const std::string& folder) {
    for (const std::string& name : platform::ListFiles(folder, "*.*"))
        platform::RemoveFile(folder + name);
}

} // namespace extract
