#include "cli/PageFacts.h"

#include <fstream>
#include <iterator>

namespace cli {

PageFacts::PageFacts(ListingRequest listing, std::string toolFolder, std::function<bool()> giveUp)
    : listing_(std::move(listing)), toolFolder_(std::move(toolFolder)), giveUp_(std::move(giveUp)) {
}

const std::vector<ListedImage>& PageFacts::Pictures(int page) {
    if (!pages_.count(page))
        ReadNew();
    if (!pages_.count(page)) {
        ListingRequest one = listing_;
        one.firstPage = one.lastPage = page;
        std::vector<ListedImage>& pictures = pages_[page];
        for (ListedImage& image : ListImages(one, toolFolder_, giveUp_).images)
            if (image.page == page)
                pictures.push_back(std::move(image));
    }
    return pages_[page];
}

void PageFacts::ReadNew() {
    std::ifstream in(path_, std::ios::binary);
    if (!in || !in.seekg(static_cast<std::streamoff>(read_)))
        return;
    const std::string added{std::istreambuf_iterator<char>(in), {}};
    read_ += added.size();
    partial_ += added;
    const std::size_t whole = partial_.rfind('\n');
    if (whole == std::string::npos)
        return;
    ToolListing listed = ParseToolListing(partial_.substr(0, whole + 1), nextNumber_);
    partial_.erase(0, whole + 1);
    for (ListedImage& image : listed.images) {
        if (!image.LeftOut())
            ++nextNumber_;
        pages_[image.page].push_back(std::move(image));
    }
}

} // namespace cli
