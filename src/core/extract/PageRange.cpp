#include "extract/PageRange.h"

#include "text/IntegerText.h"
#include "text/SplitItems.h"
#include "text/TextRules.h"

#include <stdexcept>

namespace extract {

namespace {

class ListIndexError : public std::out_of_range {
public:
    explicit ListIndexError(std::size_t index)
        : std::out_of_range("List index out of bounds (" + std::to_string(index) + ")") {}
};

bool Fits(const PageSpan& span, std::int32_t pageCount) {
    return span.first >= 1 && span.last >= 1 && span.first <= pageCount && span.last <= pageCount &&
           span.first <= span.last;
}

} // namespace

PageSpan ParsePageRange(const std::string& range, std::int32_t pageCount) {
    PageSpan span{1, pageCount};
    const std::string r = text::Trim(range);
    if (!r.empty()) {
        const std::vector<std::string> tokens = text::SplitItems(r, "-", "");
        if (tokens.size() == 1) {
            span.first = text::StrToInt(tokens[0]);
            span.last = r.back() == '-' ? pageCount : span.first;
        } else {
            if (tokens.empty())
                throw ListIndexError(0);
            span.first = text::StrToInt(tokens[0]);
            span.last = text::StrToInt(tokens[1]);
        }
    }
    if (!Fits(span, pageCount))
        span = PageSpan{1, pageCount, !r.empty()};
    return span;
}

} // namespace extract
