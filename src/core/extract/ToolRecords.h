// What glimmet.bin says over its channel, record by record, as the program
// takes it: the pages, the facts of each picture, the files it made, the
// pictures it has seen, and its problems.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <string>
#include <variant>
#include <vector>

namespace extract {

// A drawing matrix [a b c d e f], which takes a picture's unit square to the
// page, in the page's own units.
using Placement = std::array<double, 6>;

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
    // Where it is drawn on its page: the matrix of each use, the first one
    // first (whose resolution the picture is listed with).
    std::vector<Placement> uses = {};
    // The ICC profile its colour space names: the SHA-256 of its bytes (empty
    // without one) and its description; whether the file carries it.
    std::string profileSha256 = {};
    std::string profileName = {};
    bool profileCarried = false;
    // Whether the format it is written in holds a profile at all.
    bool profileFits = true;
    bool ProfileInFile() const { return profileCarried && profileFits; }
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
    // What the document holds of the picture the file is of.
    ListedImage facts = {};
    // A profile the file is to carry, in the scratch folder beside it.
    std::string profile = {};
};
// A picture written, by which a later one is known as its repeat: the
// record as the tool said it, to be handed to a run that takes over.
struct SeenPicture {
    std::string line;
};
// The profile a file just made is to carry: the last MadeFile's.
struct ProfileMade {
    std::string name;
};
// The thumbnail of the picture listed last: a gray or RGB map in the
// scratch folder.
struct MadeThumbnail {
    std::string name;
    int width = 0;
    int height = 0;
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

using ToolRecord = std::variant<PageBegins, ListedImage, MadeFile, SeenPicture, ProfileMade,
                                MadeThumbnail, PageEnds, RunEnds, ToolProblem>;

// Reads a run's lines in order: a picture's facts are numbered as the job
// would number its files, and a file is told with the picture it is of.
class RecordReader {
public:
    // The run's first file takes `firstNumber`.
    explicit RecordReader(int firstNumber = 1) : next_(firstNumber) {}

    ToolRecord Read(const std::string& line);

private:
    int next_;
    // The facts of the files the picture under way makes, not yet made, in
    // the order it makes them.
    std::deque<ListedImage> pending_;
};

} // namespace extract
