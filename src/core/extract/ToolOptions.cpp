#include "extract/ToolOptions.h"

#include "ToolContract.h"
#include "extract/Formats.h"

#include <algorithm>
#include <charconv>

namespace extract {

namespace {

// Plain decimal digits naming a number from 1.
std::optional<int> PositiveNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || text[0] == '+' || ec != std::errc() || ptr != end || value < 1)
        return std::nullopt;
    return value;
}

} // namespace

std::string PicturesText(std::vector<PicturePlace> pictures) {
    std::sort(pictures.begin(), pictures.end());
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
    std::string text;
    for (const PicturePlace& place : pictures) {
        if (!text.empty())
            text += contract::kOnlySeparator;
        text += std::to_string(place.page) + contract::kOnlyPage + std::to_string(place.onPage);
    }
    return text;
}

std::optional<std::vector<PicturePlace>> ReadPictures(const std::string& text) {
    std::vector<PicturePlace> pictures;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(contract::kOnlySeparator, start);
        if (end == std::string::npos)
            end = text.size();
        const std::string part = text.substr(start, end - start);
        const std::size_t dot = part.find(contract::kOnlyPage);
        if (dot == std::string::npos)
            return std::nullopt;
        const auto page = PositiveNumber(part.substr(0, dot));
        const auto onPage = PositiveNumber(part.substr(dot + 1));
        if (!page || !onPage)
            return std::nullopt;
        pictures.push_back({*page, *onPage});
        start = end + 1;
    }
    std::sort(pictures.begin(), pictures.end());
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
    return pictures;
}

void AddPictureOptions(const std::string& password, const std::string& formatText,
                       const PictureChoice& choice, std::vector<std::string>& args) {
    if (!password.empty()) {
        args.push_back(contract::kPasswordOption);
        args.push_back(password);
    }
    // Pictures the format can take as the document holds them come as its
    // own bytes, and are copied instead of encoded a second time.
    if (const char* kept = KeptEncoding(formatText)) {
        args.push_back(contract::kKeepOption);
        args.push_back(kept);
    }
    if (choice.unique)
        args.push_back(contract::kUniqueOption);
    if (choice.HasMinimum()) {
        args.push_back(contract::kMinSizeOption);
        args.push_back(choice.MinimumText());
    }
    if (!choice.only.empty()) {
        args.push_back(contract::kOnlyOption);
        args.push_back(PicturesText(choice.only));
    }
}

} // namespace extract
