// arvenzo-extract's listing: the images a job would write, found by
// glimmet.bin without decoding or writing any.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
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
    bool unique = false;
    int minWidth = 0;
    int minHeight = 0;
};

// One file the job would write, numbered as the job names it.
struct ListedImage {
    int page = 0;
    int number = 0;
    int width = 0;
    int height = 0;
    std::string colourSpace;
    int components = 0;
    int bitsPerComponent = 0;
    std::string encoding;
    std::string mask;
    std::string xResolution; // pixels per inch, as the tool gave them
    std::string yResolution;
    long long bytes = 0;
    bool kept = false;    // written as the document's own bytes, not encoded
    int objectNumber = 0; // 0 for an inline image
    int onPage = 0;       // the picture's number on its page, from 1
    // Left out, and then numbered 0: smaller than the minimum, or a repeat
    // of the image of this number.
    bool small = false;
    int repeatOf = 0;
    bool LeftOut() const { return small || repeatOf > 0; }
    // Not had at all: what its dictionary states, in a job's facts; it
    // takes no number either.
    bool failed = false;
};

// What one listing run of glimmet.bin said.
// A file the tool wrote as the document's own bytes, as it hashed it.
struct KeptDigest {
    std::uint64_t size = 0;
    std::string sha256;
};

struct ToolListing {
    std::vector<ListedImage> images;
    // By page and the file's place among the page's files, from 1.
    std::map<std::pair<int, int>, KeptDigest> digests;
    std::vector<std::string> problems; // the tool's own lines, in order
    bool passwordRefused = false;
    int pagesBegun = 0;
    bool finished = false; // every page was walked
};

// Reads glimmet.bin's listing output; its images are numbered from
// `firstNumber` on. A line the tool could not have meant as an image is a
// problem.
ToolListing ParseToolListing(const std::string& output, int firstNumber = 1);

// `text` as a JSON string: control characters escaped, and bytes that are
// not UTF-8 (a file name's, say) each as U+FFFD, so that every line parses.
std::string JsonString(const std::string& text);

// One row a line: aligned columns under a header, or a JSON object.
void PrintListing(const std::vector<ListedImage>& images, bool json, std::ostream& out);

// What glimmet.bin lists for the request's pages, run from `toolFolder`;
// `giveUp` answering true ends the tool.
ToolListing ListImages(const ListingRequest& request, const std::string& toolFolder,
                       const std::function<bool()>& giveUp = {});

// Lists the request's pages with glimmet.bin from `toolFolder` (ending in a
// separator), or from the program's own folder. Returns the exit code: 0,
// 1 when a page failed, 2 when the document cannot be read as asked.
int RunListing(const ListingRequest& request, std::ostream& out, std::ostream& err);
int RunListing(const ListingRequest& request, std::ostream& out, std::ostream& err,
               const std::string& toolFolder);

} // namespace cli
