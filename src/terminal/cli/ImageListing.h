// arvenzo-extract's listing: the images a job would write, found by
// glimmet.bin without decoding or writing any.
#pragma once

#include "extract/ToolOptions.h"
#include "extract/ToolRecords.h"

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct ListingRequest {
    std::string document;
    std::string password; // none when empty
    int firstPage = 1;
    int lastPage = 1;
    bool json = false;
    std::string format = "Original"; // the run's, which decides what is kept
    extract::PictureChoice pictures;
};

using extract::ListedImage;

// What one listing run of glimmet.bin said.
struct ToolListing {
    std::vector<ListedImage> images;
    std::vector<std::string> problems; // the tool's own lines, in order
    bool passwordRefused = false;
    int pagesBegun = 0;
    bool finished = false; // every page was walked
};

// Reads glimmet.bin's listing output; its images are numbered from
// `firstNumber` on. A line the tool could not have meant as an image is a
// problem.
ToolListing ParseToolListing(const std::string& output, int firstNumber = 1);

// One row a line: aligned columns under a header, or a JSON object.
void PrintListing(const std::vector<ListedImage>& images, bool json, std::ostream& out);

// What glimmet.bin lists for the request's pages, run from `toolFolder`;
// `giveUp` answering true ends the tool.
ToolListing ListImages(const ListingRequest& request, const std::string& toolFolder,
                       const std::function<bool()>& giveUp = {});

// Lists the request's pages with glimmet.bin from `toolFolder` (ending in a
// separator). Returns the exit code: 0, 1 when a page failed, 2 when the
// document cannot be read as asked.
int RunListing(const ListingRequest& request, std::ostream& out, std::ostream& err,
               const std::string& toolFolder);

} // namespace cli
