#include "text/SplitItems.h"

namespace text {

namespace {

bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

bool IsIn(const std::string& set, char c) {
    return set.find(c) != std::string::npos;
}

} // namespace

std::vector<std::string> SplitItems(const std::string& text, const std::string& separators,
                                    const std::string& blanks) {
    std::vector<std::string> items;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n) {
        while (i < n && (IsIn(blanks, text[i]) || IsLineEnd(text[i])))
            ++i;
        std::string item;
        while (i < n) {
            const char c = text[i];
            if (c == '\'' || c == '"') {
                const std::size_t close = text.find(c, i + 1);
                const std::size_t end = close == std::string::npos ? n : close + 1;
                item.append(text, i, end - i);
                i = end;
                continue;
            }
            ++i;
            if (IsIn(separators, c) || IsLineEnd(c))
                break;
            item.push_back(c);
        }
        if (!item.empty())
            items.push_back(std::move(item));
    }
    return items;
}

} // namespace text
