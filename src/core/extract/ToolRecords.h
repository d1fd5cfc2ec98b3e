// What glimmet.bin says over its channel, record by record, as the program
// takes it: the pages, the facts of each picture, the files it made, the
// pictures it has seen, and its problems.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace extract {

// One file a run writes (or a listing says it would), numbered as the job
// names it.
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
    // Not had at all: what its dictionary states, in a job's records; it
    // takes no number either.
    bool failed = false;
};

struct PageBegins {
    int page;
};
// A scratch file the tool made whole, with the picture it is of.
struct MadeFile {
    int number = 0;   // in the job, from 1
    std::string name; // in the scratch folder
    std::uint64_t bytes = 0;
    std::string sha256; // of the document's own bytes, when the tool hashed them
    int page = 0;
    int onPage = 0;
    int objectNumber = 0;
};
// A picture written, by which a later one is known as its repeat: the
// record as the tool said it, to be handed to a run that takes over.
struct SeenPicture {
    std::string line;
};
struct PageEnds {
    int page;
};
struct RunEnds {
    int lastPage;
};
// A line the tool printed about a problem, or a line of no kind at all.
struct ToolProblem {
    std::string line;
};

using ToolRecord =
    std::variant<PageBegins, ListedImage, MadeFile, SeenPicture, PageEnds, RunEnds, ToolProblem>;

// Reads a run's lines in order: a picture's facts are numbered as the job
// would number its files, and a file is told with the picture it is of.
class RecordReader {
public:
    // The run's first file takes `firstNumber`.
    explicit RecordReader(int firstNumber = 1) : next_(firstNumber) {}

    ToolRecord Read(const std::string& line);

private:
    int next_;
    ListedImage last_; // the picture whose facts came last
};

} // namespace extract
