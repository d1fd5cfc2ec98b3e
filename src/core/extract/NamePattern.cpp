#include "extract/NamePattern.h"

#include "platform/Environment.h"
#include "text/TextRules.h"

#include <algorithm>

namespace extract {

namespace {

constexpr int kWidestField = 20;

struct FieldName {
    const char* name;
    char field;
};
constexpr FieldName kFields[] = {
    {"n", 'n'}, {"page", 'p'}, {"i", 'i'}, {"doc", 'd'}, {"obj", 'o'},
};

bool AllDigits(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "name" or "name:WIDTH" between braces; false for other text.
bool ReadField(const std::string& text, char& field, int& width) {
    const std::size_t colon = text.find(':');
    const std::string name = text.substr(0, colon);
    const auto known = std::find_if(std::begin(kFields), std::end(kFields),
                                    [&](const FieldName& f) { return name == f.name; });
    if (known == std::end(kFields))
        return false;
    field = known->field;
    width = 0;
    if (colon == std::string::npos)
        return true;
    const std::string digits = text.substr(colon + 1);
    if (digits.empty() || digits.size() > 2 || !AllDigits(digits))
        return false;
    width = std::stoi(digits);
    return field != 'd' && width <= kWidestField;
}

bool IsNumber(char field) {
    return field == 'n' || field == 'p' || field == 'i' || field == 'o';
}

std::string FieldText(char field) {
    const auto known = std::find_if(std::begin(kFields), std::end(kFields),
                                    [&](const FieldName& f) { return f.field == field; });
    return std::string("{") + known->name + "}";
}

std::string Padded(int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return digits;
}

} // namespace

std::optional<NamePattern> NamePattern::Read(const std::string& text, std::string& error) {
    NamePattern pattern;
    const auto refuse = [&](const std::string& why) {
        error = "the name pattern '" + text + "' " + why;
        return std::nullopt;
    };
    if (platform::HoldsSeparator(text))
        return refuse("holds a path separator");
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t open = text.find('{', at);
        const std::size_t close = text.find('}', at);
        if (close < open)
            return refuse("closes a brace it never opened");
        if (open > at)
            pattern.parts_.push_back({text.substr(at, open - at)});
        if (open == std::string::npos)
            break;
        if (close == std::string::npos)
            return refuse("leaves a brace open");
        Part part;
        if (!ReadField(text.substr(open + 1, close - open - 1), part.field, part.width))
            return refuse("holds {" + text.substr(open + 1, close - open - 1) +
                          "}: use {n}, {page}, {i}, {doc} or {obj}, numbers with a width "
                          "such as {page:03}");
        pattern.parts_.push_back(part);
        at = close + 1;
    }
    const auto uses = [&](char field) {
        return std::any_of(pattern.parts_.begin(), pattern.parts_.end(),
                           [&](const Part& p) { return p.field == field; });
    };
    // Numbers with nothing but digits between them run together: with
    // {page}{i}, page 1's picture 11 and page 11's picture 1 are both "111".
    char number = 0;
    for (const Part& part : pattern.parts_) {
        if (IsNumber(part.field) && number != 0)
            return refuse("runs " + FieldText(number) + " and " + FieldText(part.field) +
                          " together: put something other than a digit between them");
        if (IsNumber(part.field))
            number = part.field;
        else if (part.field != 0 || !AllDigits(part.literal))
            number = 0;
    }
    if (!uses('n') && !(uses('p') && uses('i')))
        return refuse("can give two pictures the same name: it needs {n}, or both {page} and "
                      "{i}");
    return pattern;
}

std::string NamePattern::Name(const NameFacts& facts) const {
    std::string name;
    for (const Part& part : parts_) {
        switch (part.field) {
        case 'n':
            name += Padded(facts.number, part.width);
            break;
        case 'p':
            name += Padded(facts.page, part.width);
            break;
        case 'i':
            name += Padded(facts.onPage, part.width);
            break;
        case 'o':
            name += Padded(facts.object, part.width);
            break;
        case 'd':
            name += facts.document;
            break;
        default:
            name += part.literal;
        }
    }
    return name;
}

bool NamePattern::CouldName(const std::string& stem, const std::string& document) const {
    return Matches(0, stem, 0, document);
}

bool NamePattern::Matches(std::size_t index, const std::string& stem, std::size_t at,
                          const std::string& document) const {
    if (index == parts_.size())
        return at == stem.size();
    const Part& part = parts_[index];
    if (part.field == 0 || part.field == 'd') {
        const std::string& text = part.field == 0 ? part.literal : document;
        return stem.compare(at, text.size(), text) == 0 &&
               Matches(index + 1, stem, at + text.size(), document);
    }
    // A number: at least one digit, and at least its width.
    const std::size_t least = static_cast<std::size_t>(std::max(part.width, 1));
    for (std::size_t end = at; end < stem.size() && stem[end] >= '0' && stem[end] <= '9';) {
        ++end;
        if (end - at >= least && Matches(index + 1, stem, end, document))
            return true;
    }
    return false;
}

std::string DocumentName(const std::string& path) {
    std::string name = text::ExtractFileName(path);
    if (name.size() > 4 && text::LowerCase(name.substr(name.size() - 4)) == ".pdf")
        name.resize(name.size() - 4);
    return name;
}

} // namespace extract
