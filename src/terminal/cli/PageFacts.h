// What the pictures of each page are, for names that hold the object
// number: read from the facts the job's tool writes for a page before it
// hands the page over, so no listing of its own has to run beside the job.
#pragma once

#include "cli/ImageListing.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace cli {

class PageFacts {
public:
    // `listing` asks as the job does, for a page whose facts never came (its
    // tool died on it); `giveUp` ends that listing.
    PageFacts(ListingRequest listing, std::string toolFolder, std::function<bool()> giveUp);

    // The facts file the job's tool runs write to; set before the job runs.
    void ReadFrom(std::string path) { path_ = std::move(path); }
    // The pictures of `page`, left out ones included, in order.
    const std::vector<ListedImage>& Pictures(int page);

private:
    // Takes the whole lines added to the file since the last look.
    void ReadNew();

    ListingRequest listing_;
    std::string toolFolder_;
    std::function<bool()> giveUp_;
    std::string path_;
    std::uint64_t read_ = 0; // bytes of the file taken
    std::string partial_;    // a line not yet whole
    int nextNumber_ = 1;
    std::map<int, std::vector<ListedImage>> pages_;
};

} // namespace cli
