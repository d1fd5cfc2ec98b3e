#include "extract/ToolOptions.h"

#include "ToolContract.h"
#include "extract/Formats.h"

#include <algorithm>

namespace extract {

std::vector<PicturePlace> InDocumentOrder(std::vector<PicturePlace> pictures) {
    std::sort(pictures.begin(), pictures.end());
    pictures.erase(std::unique(pictures.begin(), pictures.end()), pictures.end());
    return pictures;
}

std::string PicturesText(const std::vector<PicturePlace>& pictures) {
    std::string text;
    for (const PicturePlace& place : pictures) {
        if (!text.empty())
            text += contract::kOnlySeparator;
        text += std::to_string(place.page) + contract::kOnlyPage + std::to_string(place.onPage);
    }
    return text;
}

std::optional<std::vector<PicturePlace>> ReadPictures(const std::string& text) {
    const auto read = contract::ReadPictureList(text);
    if (!read)
        return std::nullopt;
    std::vector<PicturePlace> pictures;
    for (const auto& [page, onPage] : *read)
        pictures.push_back({page, onPage});
    return InDocumentOrder(std::move(pictures));
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
