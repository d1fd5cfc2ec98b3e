#include "inspect/ExecuteCMD.h"

#include "platform/ConsoleTool.h"

namespace inspect {

std::string RunConsoleTool(const std::string& toolName, const std::vector<std::string>& arguments,
                           const std::string& appFolder, std::chrono::milliseconds timeout,
                           const std::function<bool()>& giveUp) {
    return platform::RunConsoleTool(appFolder + toolName, arguments, appFolder, timeout, giveUp);
}

std::vector<std::string> OutputLines(const std::string& output) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= output.size()) {
        const std::size_t end = output.find_first_of("\r\n", start);
        const std::size_t stop = end == std::string::npos ? output.size() : end;
        if (stop > start)
            lines.push_back(output.substr(start, stop - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return lines;
}

} // namespace inspect
