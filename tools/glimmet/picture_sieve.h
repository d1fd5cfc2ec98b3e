#pragma once

#include "kept_picture.h"
#include "mupdf_context.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace glimmet {

// Why a picture is left out, and for a repeat, the file of this run that
// holds it (1-based in the job; 0 when the run that wrote it did not say).
struct LeftOut {
    bool small = false;
    int repeatOf = 0;
};

// One way a later picture is known as a repeat of one written: a
// contract::kSeenObject or kSeenPixels key, and the first file it made.
struct Seen {
    const char* kind;
    std::string key;
    int file;
};

// Decides which pictures a run leaves out: those smaller than a minimum
// size, and with `unique`, those written already, by object or by their
// decoded pixels, in this run or, as the program tells it, in the runs
// before it over the same document.
class PictureSieve {
public:
    PictureSieve(bool unique, int minWidth, int minHeight);

    bool active() const { return unique_ || minWidth_ > 0 || minHeight_ > 0; }

    // Known before decoding: too small, or an object already written.
    std::optional<LeftOut> beforeDecoding(int objectNumber, int width, int height) const;
    // Decodes the picture to compare its pixels with those written; its
    // digest is remembered for take(). Throws MuError as writing it would.
    std::optional<LeftOut> byContent(tools::Context& ctx, fz_image* image, const KeptPicture& kept);
    // The picture is written as the run's files `firstFile` on; returns
    // the ways it is now known by.
    std::vector<Seen> take(int objectNumber, int firstFile);
    // A picture an earlier run wrote, as take() gave it there.
    void remember(const std::string& kind, const std::string& key, int file);

private:
    bool unique_;
    int minWidth_, minHeight_;
    std::map<int, int> objects_;         // object number -> its first file
    std::map<std::string, int> digests_; // pixels -> their first file
    std::string digest_;                 // of the picture byContent() saw last
};

// "WxH" or "N"; nothing for other text.
std::optional<std::pair<int, int>> readSize(const std::string& text);

} // namespace glimmet
