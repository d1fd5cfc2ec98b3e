#include "platform/platform.h"

#include <cctype>

namespace platform {

std::vector<int> ProcessorList(const std::string& text) {
    std::vector<int> cpus;
    std::size_t at = 0;
    auto number = [&](int& value) {
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at])))
            return false;
        value = 0;
        while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
            value = value * 10 + (text[at++] - '0');
            if (value > 65535)
                return false;
        }
        return true;
    };
    while (at < text.size() && text[at] != '\n') {
        int first = 0, last = 0;
        if (!number(first))
            return {};
        last = first;
        if (at < text.size() && text[at] == '-') {
            ++at;
            if (!number(last) || last < first)
                return {};
        }
        for (int cpu = first; cpu <= last; ++cpu)
            cpus.push_back(cpu);
        if (at < text.size() && text[at] == ',')
            ++at;
        else if (at < text.size() && text[at] != '\n')
            return {};
    }
    return cpus;
}

} // namespace platform
